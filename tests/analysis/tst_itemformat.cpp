// Item lines: the conversion scan, stored values and the safe printf behind them.
#include "menuview/analysis/itemformat.h"

#include <QtTest>

#include <cmath>

class tst_ItemFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatText_data();
    void formatText();
    void formatItems_data();
    void formatItems();
    void formatItemsRebuildsLists();
};

void tst_ItemFormat::formatText_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("line");

    const QVariantList none;
    QTest::addRow("plain") << QByteArray("Start") << none << "Start";
    QTest::addRow("percent") << QByteArray("100%% %5%") << none << "100% %";

    QTest::addRow("d") << QByteArray("Speed %d") << QVariantList {12} << "Speed 12";
    QTest::addRow("d-flags-width") << QByteArray("[%+5d|%-5d|%05d|% d]")
                                   << QVariantList {7, -7, -7, 7} << "[   +7|-7   |-0007| 7]";
    QTest::addRow("d-precision") << QByteArray("[%.3d|%8.3d|%08.3d|%.0d]")
                                 << QVariantList {5, -5, 5, 0} << "[005|    -005|     005|]";
    QTest::addRow("d-extremes") << QByteArray("%d %d") << QVariantList {INT_MIN, INT_MAX}
                                << "-2147483648 2147483647";
    QTest::addRow("u-of-negative") << QByteArray("%u %lu %hu %hhu") << QVariantList {-1, -1, -1, -1}
                                   << "4294967295 18446744073709551615 65535 255";
    QTest::addRow("d-narrowed") << QByteArray("%hd %hhd %lld") << QVariantList {70000, 300, -3}
                                << "4464 44 -3";
    QTest::addRow("d-64-bit-value")
            << QByteArray("%lld %d") << QVariantList {qint64(1) << 40, qint64(1) << 40}
            << "1099511627776 0";
    QTest::addRow("other-64-bit-lengths")
            << QByteArray("%qd %jd %zu %td %Ld")
            << QVariantList {qint64(1) << 40, -(qint64(1) << 40), -1, qint64(-5), qint64(1) << 33}
            << "1099511627776 -1099511627776 18446744073709551615 -5 8589934592";
    QTest::addRow("long-double-length-changes-nothing")
            << QByteArray("%Lf %.1Lf") << QVariantList {1.5, 2.25} << "1.500000 2.2";
    QTest::addRow("grouping-flag-groups-nothing")
            << QByteArray("%'d %'08.2f") << QVariantList {1234567, 1234.5} << "1234567 01234.50";
    QTest::addRow("upper-case-letters")
            << QByteArray("%D %U %S %F") << QVariantList {-1, -1, "s", 1.5}
            << "-1 4294967295 s 1.500000";

    QTest::addRow("f") << QByteArray("Gain %.1f") << QVariantList {2.5} << "Gain 2.5";
    QTest::addRow("f-flags") << QByteArray("[%+08.2f|%-8.1f|%#.0f|% .0f]")
                             << QVariantList {3.14159, 2.25, 2.0, 2.0}
                             << "[+0003.14|2.2     |2.| 2]";
    QTest::addRow("f-negative-zero") << QByteArray("%.1f") << QVariantList {-0.0} << "-0.0";
    QTest::addRow("f-infinity-nan") << QByteArray("%05f %F %f")
                                    << QVariantList {qInf(), -qInf(), qQNaN()} << "  inf -INF nan";

    QTest::addRow("s") << QByteArray("Name: %s") << QVariantList {QByteArray("Bob")} << "Name: Bob";
    QTest::addRow("s-width-precision") << QByteArray("[%5s|%-5s|%.2s|%05s]")
                                       << QVariantList {QByteArray("ab"), QByteArray("ab"),
                                                        QByteArray("abc"), QByteArray("ab")}
                                       << "[   ab|ab   |ab|   ab]";
    QTest::addRow("s-qstring") << QByteArray("%s") << QVariantList {u"Привет"_qs} << u"Привет"_qs;
    QTest::addRow("s-stops-at-zero-byte")
            << QByteArray("%s!") << QVariantList {QByteArray("ab\0cd", 5)} << "ab!";
    QTest::addRow("s-precision-cuts-utf8") << QByteArray("%.1s") << QVariantList {QByteArray("é")}
                                           << QString(QChar::ReplacementCharacter);

    // What cannot be fed safely is shown as written.
    QTest::addRow("no-value-left") << QByteArray("%d of %5d") << QVariantList {1} << "1 of %5d";
    QTest::addRow("value-of-other-kind")
            << QByteArray("%d items at %.1f V") << QVariantList {3, 4} << "3 items at %.1f V";
    QTest::addRow("shown-conversion-keeps-its-value")
            << QByteArray("%s %d") << QVariantList {1, 2} << "%s 2";
    QTest::addRow("star-width-precision")
            << QByteArray("%*d|%.*f|%d") << QVariantList {1, 2.0, 3} << "%*d|%.*f|3";
    QTest::addRow("n-never-written") << QByteArray("a%nb%hhn") << QVariantList {1} << "a%nb%hhn";
    QTest::addRow("other-conversions") << QByteArray("%x %i %c %p %e %5.2g %d") << QVariantList {7}
                                       << "%x %i %c %p %e %5.2g 7";
    QTest::addRow("trailing-percent") << QByteArray("50%") << none << "50%";
    QTest::addRow("unfinished-conversion")
            << QByteArray("x %-08.3l") << QVariantList {1} << "x %-08.3l";
    QTest::addRow("format-stops-at-zero-byte")
            << QByteArray("ab\0%d", 5) << QVariantList {1} << "ab";

    // The 128-byte buffer.
    QTest::addRow("cut-at-127") << QByteArray(200, 'x') << none << QString(127, u'x');
    QTest::addRow("cut-inside-utf8") << QByteArray(126, 'x') + "é" << none
                                     << QString(126, u'x') + QChar::ReplacementCharacter;
    QTest::addRow("huge-width") << QByteArray("%999999999d|") << QVariantList {5}
                                << QString(127, u' ');
    QTest::addRow("huge-width-left") << QByteArray("%-999999999999999999999d|") << QVariantList {5}
                                     << u'5' + QString(126, u' ');
    QTest::addRow("huge-precision-d")
            << QByteArray("%.999999999d") << QVariantList {-5} << u'-' + QString(126, u'0');
    QTest::addRow("huge-precision-f")
            << QByteArray("%.999999999f") << QVariantList {0.5} << "0.5" + QString(124, u'0');
    QTest::addRow("huge-width-zero-padded-f")
            << QByteArray("%0999999999.1f") << QVariantList {-2.5} << u'-' + QString(126, u'0');
    QTest::addRow("width-then-more-text")
            << QByteArray("%120d%s") << QVariantList {1, QByteArray("abcdefgh")}
            << QString(119, u' ') + "1abcdefg";
}

void tst_ItemFormat::formatText()
{
    QFETCH(QByteArray, format);
    QFETCH(QVariantList, values);
    QTEST(::formatText(format, values), "line");
}

void tst_ItemFormat::formatItems_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<QStringList>>("stored");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<QList<int>>("counts");

    const auto I = int(ParamType::Integer);
    const auto R = int(ParamType::Real);
    const auto S = int(ParamType::String);
    const auto N = int(ParamType::None);

    QTest::addRow("integer") << QStringList {"Speed %d"} << QList<QStringList> {{"12", "", ""}}
                             << QStringList {"Speed 12"} << QList<int> {I} << QList<int> {1};
    QTest::addRow("integer-not-stored")
            << QStringList {"Speed %d"} << QList<QStringList> {{}} << QStringList {"Speed 0"}
            << QList<int> {I} << QList<int> {1};
    QTest::addRow("integer-unreadable")
            << QStringList {"%d|%d|%d"} << QList<QStringList> {{" -7 ", "abc", "99999999999"}}
            << QStringList {"-7|0|1215752191"} << QList<int> {I} << QList<int> {3};
    QTest::addRow("integer-beyond-stored")
            << QStringList {"%d %d %d %d %d %d %d %d %d"} << QList<QStringList> {{"1", "2", "3"}}
            << QStringList {"1 2 3 0 0 0 0 0 %d"} << QList<int> {I} << QList<int> {9};
    QTest::addRow("real-comma") << QStringList {"Gain %.1f"} << QList<QStringList> {{"2,5", "", ""}}
                                << QStringList {"Gain 2.5"} << QList<int> {R} << QList<int> {1};
    QTest::addRow("real-four-conversions")
            << QStringList {"%.0f %.0f %.0f %.0f"} << QList<QStringList> {{"1", "2.4", "x"}}
            << QStringList {"1 2 0 %.0f"} << QList<int> {R} << QList<int> {4};
    QTest::addRow("real-as-strtod-reads-it")
            << QStringList {"%f %f %f", "%.1f|%.0f", "%.2f"}
            << QList<QStringList> {{"1e400", "-1E400", "nan"}, {"0x1.8p1", " 1e-400 "}, {"2.5x"}}
            << QStringList {"inf -inf nan", "3.0|0", "0.00"} << QList<int> {R, R, R}
            << QList<int> {3, 2, 1};
    QTest::addRow("real-two") << QStringList {"%5.2f x %f"} << QList<QStringList> {{"1", "2", ""}}
                              << QStringList {" 1.00 x 2.000000"} << QList<int> {R}
                              << QList<int> {2};
    QTest::addRow("string-cut-to-21")
            << QStringList {"Name: %s"} << QList<QStringList> {{QString(40, u'n')}}
            << QStringList {"Name: " + QString(15, u'n')} << QList<int> {S} << QList<int> {1};
    QTest::addRow("string-cut-keeps-pairs")
            << QStringList {"%s"} << QList<QStringList> {{QString(20, u'a') + u"😀😀"_qs}}
            << QStringList {QString(20, u'a') + u"😀"_qs} << QList<int> {S} << QList<int> {1};
    QTest::addRow("string-then-integer")
            << QStringList {"%s of %d"} << QList<QStringList> {{"Bob", "3", ""}}
            << QStringList {"Bob of %d"} << QList<int> {S} << QList<int> {2};
    QTest::addRow("upper-case-letters")
            << QStringList {"%D %F"} << QList<QStringList> {{"-4", "5"}} << QStringList {"-4 %F"}
            << QList<int> {I} << QList<int> {2};
    QTest::addRow("length-modifier-and-flags")
            << QStringList {"%-4lu|"} << QList<QStringList> {{"3"}} << QStringList {"3   |"}
            << QList<int> {I} << QList<int> {1};
    QTest::addRow("no-conversion") << QStringList {"100%%"} << QList<QStringList> {{"1", "2", "3"}}
                                   << QStringList {"100%"} << QList<int> {N} << QList<int> {0};
    QTest::addRow("other-conversion-shown")
            << QStringList {"%x and %d"} << QList<QStringList> {{"5", "6"}}
            << QStringList {"%x and 5"} << QList<int> {I} << QList<int> {2};
    QTest::addRow("fewer-stored-entries-than-items")
            << QStringList {"A %d", "B %d", "C"} << QList<QStringList> {{"1"}}
            << QStringList {"A 1", "B 0", "C"} << QList<int> {I, I, N} << QList<int> {1, 1, 0};
    QTest::addRow("long-line-cut")
            << QStringList {QString(70, u'ж') + "%d"} << QList<QStringList> {}
            << QStringList {QString(63, u'ж') + QChar::ReplacementCharacter} << QList<int> {I}
            << QList<int> {1};
}

void tst_ItemFormat::formatItems()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<QStringList>, stored);
    QFETCH(QList<int>, types);
    QFETCH(QList<int>, counts);

    MenuDefinition menu;
    menu.itemTexts = texts;
    menu.paramValues = stored;
    ::formatItems(menu);

    QTEST(menu.itemLines, "lines");
    QList<int> actualTypes;
    QList<int> actualCounts;
    for (const ParamInfo &info : std::as_const(menu.itemParams)) {
        actualTypes.append(int(info.type));
        actualCounts.append(info.count);
    }
    QCOMPARE(actualTypes, types);
    QCOMPARE(actualCounts, counts);
    QCOMPARE(menu.itemTexts, texts);
    QCOMPARE(menu.paramValues, stored);
}

void tst_ItemFormat::formatItemsRebuildsLists()
{
    MenuDefinition menu;
    menu.itemTexts = QStringList {"A"};
    menu.itemLines = QStringList {"old", "older"};
    menu.itemParams = {{ParamType::Real, 3}, {ParamType::String, 1}};
    ::formatItems(menu);
    QCOMPARE(menu.itemLines, QStringList {"A"});
    QCOMPARE(menu.itemParams.size(), 1);
    QCOMPARE(menu.itemParams[0].type, ParamType::None);

    menu.itemTexts.clear();
    ::formatItems(menu);
    QVERIFY(menu.itemLines.isEmpty());
    QVERIFY(menu.itemParams.isEmpty());
}

QTEST_APPLESS_MAIN(tst_ItemFormat)
#include "tst_itemformat.moc"
