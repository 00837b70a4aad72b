// e2e_screen: does a screenshot show the reference screen (a PNG drawn by
// `velko-menu render`, lit pixels black) pixel for pixel? Exit 0 when it
// does, 1 when not, 2 on bad input.
#include "screenmatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

bool readRect(const QString &text, QRect *rect)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts.at(i).toInt(&ok);
        if (!ok || v[i] < 0)
            return false;
    }
    *rect = QRect(v[0], v[1], v[2], v[3]);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument("shot", "Screenshot (PNG).");
    parser.addPositionalArgument("reference", "Reference screen (PNG).");
    parser.addOption({"ignore", "Reference pixels not to compare.", "x,y,w,h"});
    parser.addOption({"allowed", "Report the closest place differing in up to n pixels.", "n", "0"});
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    bool okAllowed = false;
    const int allowed = parser.value("allowed").toInt(&okAllowed);
    QRect ignored;
    if (args.size() != 2 || !okAllowed || allowed < 0
        || (parser.isSet("ignore") && !readRect(parser.value("ignore"), &ignored))) {
        err << parser.helpText();
        return 2;
    }
    const QImage shot(args.at(0));
    const QImage reference(args.at(1));
    if (shot.isNull() || reference.isNull()) {
        err << "cannot read " << (shot.isNull() ? args.at(0) : args.at(1)) << "\n";
        return 2;
    }

    const ScreenMatch match = locateScreen(shot, reference, qRgb(0, 0, 0), ignored, allowed);
    const QString what = QStringLiteral("%1x%2 screen (%3 pixels compared, %4 lit%5)")
                                 .arg(reference.width())
                                 .arg(reference.height())
                                 .arg(match.compared)
                                 .arg(match.lit)
                                 .arg(ignored.isEmpty() ? QString()
                                                      : QStringLiteral(", %1x%2 at %3,%4 skipped")
                                                                .arg(ignored.width())
                                                                .arg(ignored.height())
                                                                .arg(ignored.x())
                                                                .arg(ignored.y()));
    if (match.mismatches == 0) {
        out << "found the " << what << " at " << match.at.x() << "," << match.at.y() << "\n";
        return 0;
    }
    out << "no exact " << what;
    if (match.mismatches > 0)
        out << "; closest at " << match.at.x() << "," << match.at.y() << " with " << match.mismatches
            << " pixels differing";
    out << "\n";
    return 1;
}
