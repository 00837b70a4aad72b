// A token as the preprocessor hands it on: the scanner's token, the text it
// is spelt in, the place in a source it stands for, and the macros it may no
// longer expand (its hide set).
#pragma once

#include "creader/cscanner.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <deque>
#include <memory>

namespace VelkoMenuView {

struct PPToken
{
    // Padding stands between the tokens of expansions for the white space
    // that `#` sees, as the compiler's own padding does.
    enum class Padding : quint8 {
        None, // a token
        Source, // white space as `sourceSpace` says, unless a later padding says otherwise
        AvoidPaste, // the end of an expansion
        Placemarker, // an empty argument next to ##, gone once pasting is done
    };

    Token token;
    QStringView text; // what token.begin and token.end index
    // Where it stands for in a source that is read: its own place when
    // written there, the place of the invocation whose expansion made it.
    QStringView siteText;
    qsizetype site = -1;
    qint32 origin = -1; // the definition (an index of the macro table) whose body holds it
    quint32 hide = 0; // hide set; 0 is the empty one
    Padding padding = Padding::None;
    bool sourceSpace = false; // for Source padding

    bool isPadding() const { return padding != Padding::None; }
    bool isEnd() const { return padding == Padding::None && token.kind == Token::Kind::End; }
    bool is(QChar c) const { return padding == Padding::None && token.is(c); }
    bool is(quint32 packed) const { return padding == Padding::None && token.is(packed); }
    bool isIdentifier() const
    {
        return padding == Padding::None && token.kind == Token::Kind::Identifier;
    }

    // The token as the compiler spells it: splices removed (`scratch` holds
    // the characters then), raw literals as written.
    QStringView spelling(QString *scratch) const
    {
        const QStringView written = text.sliced(token.begin, token.end - token.begin);
        if (!token.spliced || token.raw)
            return written;
        *scratch = CScanner(text).spelling(token);
        return *scratch;
    }
    QString spelled() const
    {
        QString scratch;
        return spelling(&scratch).toString();
    }

    // A token of `text` as the scanner read it, standing for itself.
    static PPToken written(QStringView text, const Token &token)
    {
        PPToken t;
        t.token = token;
        t.text = text;
        t.siteText = text;
        t.site = token.begin;
        return t;
    }
};

using PPTokens = QList<PPToken>;

// The texts of tokens that expansion makes (pasted, stringified, the values
// of __LINE__ ...): tokens view them, so they live as long as the tokens do.
using TokenTexts = std::deque<QString>;

} // namespace VelkoMenuView
