// The piece-by-piece walk over a printf format.
#include "menuview/analysis/formatwalk.h"

#include <cstring>

namespace VelkoMenuView {

ParamType valueKind(char16_t letter)
{
    switch (QChar::toLower(char32_t(letter))) {
    case U'd':
    case U'u':
        return ParamType::Integer;
    case U'f':
        return ParamType::Real;
    case U's':
        return ParamType::String;
    default:
        return ParamType::None;
    }
}

FormatWalk::FormatWalk(const QByteArray &format)
    : m_format(format)
    , m_p(m_format.constData())
    , m_end(m_p + qstrnlen(m_p, size_t(m_format.size())))
{ }

bool FormatWalk::next(FormatPiece &piece)
{
    if (m_p >= m_end)
        return false;
    piece = FormatPiece();
    piece.begin = m_p;
    if (*m_p != '%') {
        const void *percent = std::memchr(m_p, '%', size_t(m_end - m_p));
        const char *stop = percent ? static_cast<const char *>(percent) : m_end;
        piece.size = stop - m_p;
        m_p = stop;
        return true;
    }
    piece.directive = parseFormatDirective(m_p, m_end);
    if (piece.directive.size == 0) {
        piece.kind = FormatPiece::Kind::Unfinished;
        piece.size = m_end - m_p;
        m_p = m_end;
        return true;
    }
    piece.kind = FormatPiece::Kind::Directive;
    piece.size = piece.directive.size;
    if (valueKind(piece.directive.conversion) != ParamType::None && !piece.directive.positional)
        piece.valueIndex = m_nextValue++;
    m_p += piece.size;
    return true;
}

} // namespace VelkoMenuView
