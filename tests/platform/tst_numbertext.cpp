#include "numbertext.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

namespace
{

const QLocale fullStop(QLocale::English, QLocale::UnitedStates);
const QLocale comma(QLocale::German, QLocale::Germany);

} // namespace

class tst_NumberText : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();

    void isNumeric_data();
    void isNumeric();
    void toDouble_data();
    void toDouble();
    void roundHalfEven_data();
    void roundHalfEven();
    void toInt16_data();
    void toInt16();
    void toInt32_data();
    void toInt32();
    void fromInt_data();
    void fromInt();
    void fromDouble_data();
    void fromDouble();
    void fromDoubleSixteenthsReadBack();
};

void tst_NumberText::init()
{
    QLocale::setDefault(fullStop);
}

void tst_NumberText::cleanupTestCase()
{
    QLocale::setDefault(QLocale::system());
}

void tst_NumberText::isNumeric_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");

    struct Row {
        const char* text;
        bool numeric;
    };
    // Rows whose answer does not depend on the separator.
    const Row common[] = {
        {"0", true},     {"12", true},     {" 12 ", true},      {"\t-3 ", true}, {"-5", true},
        {"+5", true},    {"1e3", true},    {"1E-3", true},      {"7e+2", true},  {"007", true},
        {"", false},     {"   ", false},   {"-", false},        {"+", false},    {"1-2", false},
        {"abc", false},  {"12a", false},   {"a12", false},      {"1e", false},   {"1e+", false},
        {"e5", false},   {"--1", false},   {"+-1", false},      {"- 1", false},  {"1 2", false},
        {"0x10", false}, {"1e2.5", false}, {"Infinity", false}, {"NaN", false},
    };
    for (const QLocale& locale : {fullStop, comma}) {
        for (const Row& row : common) {
            QTest::addRow("%s \"%s\"", qPrintable(locale.name()), row.text)
                << locale << QString::fromUtf8(row.text) << row.numeric;
        }
    }

    const Row withFullStop[] = {
        {"1.5", true}, {".5", true},   {"1.", true},     {"-0.25", true},  {"2.5e+2", true}, {".", false},
        {"-.", false}, {"1,5", false}, {"1,000", false}, {"1.2.3", false}, {"1.e", false},
    };
    for (const Row& row : withFullStop)
        QTest::addRow("en_US \"%s\"", row.text) << fullStop << QString::fromUtf8(row.text) << row.numeric;

    const Row withComma[] = {
        {"1,5", true}, {",5", true},  {"1,", true},   {"-0,25", true},  {"2,5e+2", true},
        {",", false},  {"-,", false}, {"1.5", false}, {"1.000", false}, {"1,2,3", false},
    };
    for (const Row& row : withComma)
        QTest::addRow("de_DE \"%s\"", row.text) << comma << QString::fromUtf8(row.text) << row.numeric;

    // Digits of other scripts are not typed into number fields.
    QTest::addRow("en_US arabic-indic digits") << fullStop << QStringLiteral("\u0661\u0662") << false;
}

void tst_NumberText::isNumeric()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, numeric);

    QLocale::setDefault(locale);
    QCOMPARE(numbertext::isNumeric(text), numeric);
    QCOMPARE(numbertext::toDouble(text).has_value(), numeric);
}

void tst_NumberText::toDouble_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("number");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("en 1.5625") << fullStop << "1.5625" << true << 1.5625;
    QTest::newRow("en -0.5") << fullStop << "-0.5" << true << -0.5;
    QTest::newRow("en +7 with blanks") << fullStop << " +7 " << true << 7.0;
    QTest::newRow("en .5") << fullStop << ".5" << true << 0.5;
    QTest::newRow("en 1.") << fullStop << "1." << true << 1.0;
    QTest::newRow("en 1e3") << fullStop << "1e3" << true << 1000.0;
    QTest::newRow("en 2.5E-1") << fullStop << "2.5E-1" << true << 0.25;
    QTest::newRow("en 0.1") << fullStop << "0.1" << true << 0.1;
    QTest::newRow("en 2047.9375") << fullStop << "2047.9375" << true << 2047.9375;
    QTest::newRow("en 1e400") << fullStop << "1e400" << true << inf;
    QTest::newRow("en -1e400") << fullStop << "-1e400" << true << -inf;
    QTest::newRow("en 0.0001e400") << fullStop << "0.0001e400" << true << inf;
    QTest::newRow("en 1e-400") << fullStop << "1e-400" << true << 0.0;
    QTest::newRow("en 1000e-402") << fullStop << "1000e-402" << true << 0.0;
    QTest::newRow("en 1,5") << fullStop << "1,5" << false << 0.0;
    QTest::newRow("en 1,000") << fullStop << "1,000" << false << 0.0;
    QTest::newRow("de 1,5625") << comma << "1,5625" << true << 1.5625;
    QTest::newRow("de -0,5") << comma << "-0,5" << true << -0.5;
    QTest::newRow("de 99,5") << comma << "99,5" << true << 99.5;
    QTest::newRow("de 2,5e1") << comma << "2,5e1" << true << 25.0;
    QTest::newRow("de 1.5") << comma << "1.5" << false << 0.0;
    QTest::newRow("de 1.000") << comma << "1.000" << false << 0.0;
}

void tst_NumberText::toDouble()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, number);

    QLocale::setDefault(locale);
    const std::optional<double> read = numbertext::toDouble(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(*read, number);
}

void tst_NumberText::roundHalfEven_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<double>("rounded");

    QTest::newRow("12.5") << 12.5 << 12.0;
    QTest::newRow("13.5") << 13.5 << 14.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("1.5625") << 1.5625 << 2.0;
    QTest::newRow("2.4") << 2.4 << 2.0;
    QTest::newRow("2.6") << 2.6 << 3.0;
    QTest::newRow("-2.4") << -2.4 << -2.0;
    QTest::newRow("-2.6") << -2.6 << -3.0;
    QTest::newRow("just below a half") << 0.49999999999999994 << 0.0;
    QTest::newRow("whole") << 7.0 << 7.0;
    QTest::newRow("2^52 + 1") << 4503599627370497.0 << 4503599627370497.0;
    QTest::newRow("32767.5") << 32767.5 << 32768.0;
    QTest::newRow("-32768.5") << -32768.5 << -32768.0;
}

void tst_NumberText::roundHalfEven()
{
    QFETCH(double, number);
    QFETCH(double, rounded);

    QCOMPARE(numbertext::roundHalfEven(number), rounded);
}

void tst_NumberText::toInt16_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("number");

    QTest::newRow("en 12.5") << fullStop << "12.5" << true << 12;
    QTest::newRow("en 13.5") << fullStop << "13.5" << true << 14;
    QTest::newRow("en -2.5") << fullStop << "-2.5" << true << -2;
    QTest::newRow("en 1.5") << fullStop << "1.5" << true << 2;
    QTest::newRow("en -0.5") << fullStop << "-0.5" << true << 0;
    QTest::newRow("en 1.5625") << fullStop << "1.5625" << true << 2;
    QTest::newRow("en 32767") << fullStop << "32767" << true << 32767;
    QTest::newRow("en 32767.4") << fullStop << "32767.4" << true << 32767;
    QTest::newRow("en 32767.5") << fullStop << "32767.5" << false << 0;
    QTest::newRow("en 32768") << fullStop << "32768" << false << 0;
    QTest::newRow("en -32768") << fullStop << "-32768" << true << -32768;
    QTest::newRow("en -32768.5") << fullStop << "-32768.5" << true << -32768;
    QTest::newRow("en -32768.6") << fullStop << "-32768.6" << false << 0;
    QTest::newRow("en -32769") << fullStop << "-32769" << false << 0;
    QTest::newRow("en 1e4") << fullStop << "1e4" << true << 10000;
    QTest::newRow("en 1e5") << fullStop << "1e5" << false << 0;
    QTest::newRow("en 1e400") << fullStop << "1e400" << false << 0;
    QTest::newRow("en abc") << fullStop << "abc" << false << 0;
    QTest::newRow("en empty") << fullStop << "" << false << 0;
    QTest::newRow("en 12,5") << fullStop << "12,5" << false << 0;
    QTest::newRow("de 12,5") << comma << "12,5" << true << 12;
    QTest::newRow("de 13,5") << comma << "13,5" << true << 14;
    QTest::newRow("de 32767,5") << comma << "32767,5" << false << 0;
    QTest::newRow("de -32768,5") << comma << "-32768,5" << true << -32768;
    QTest::newRow("de 12.5") << comma << "12.5" << false << 0;
}

void tst_NumberText::toInt16()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, number);

    QLocale::setDefault(locale);
    const std::optional<qint16> read = numbertext::toInt16(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(int(*read), number);
}

void tst_NumberText::toInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint32>("number");

    QTest::newRow("40000") << "40000" << true << 40000;
    QTest::newRow("-100000.5") << "-100000.5" << true << -100000;
    QTest::newRow("2147483646.5") << "2147483646.5" << true << 2147483646;
    QTest::newRow("2147483647") << "2147483647" << true << 2147483647;
    QTest::newRow("2147483647.5") << "2147483647.5" << false << 0;
    QTest::newRow("-2147483648.5") << "-2147483648.5" << true << std::numeric_limits<qint32>::min();
    QTest::newRow("-2147483649") << "-2147483649" << false << 0;
    QTest::newRow("-") << "-" << false << 0;
}

void tst_NumberText::toInt32()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint32, number);

    const std::optional<qint32> read = numbertext::toInt32(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(*read, number);
}

void tst_NumberText::fromInt_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("text");

    for (const QLocale& locale : {fullStop, comma}) {
        const QByteArray name = locale.name().toLatin1();
        QTest::addRow("%s 0", name.constData()) << locale << qint64(0) << "0";
        QTest::addRow("%s -5", name.constData()) << locale << qint64(-5) << "-5";
        QTest::addRow("%s 1234567", name.constData()) << locale << qint64(1234567) << "1234567";
        QTest::addRow("%s -32768", name.constData()) << locale << qint64(-32768) << "-32768";
        QTest::addRow("%s int64 min", name.constData())
            << locale << std::numeric_limits<qint64>::min() << "-9223372036854775808";
    }
}

void tst_NumberText::fromInt()
{
    QFETCH(QLocale, locale);
    QFETCH(qint64, number);
    QFETCH(QString, text);

    QLocale::setDefault(locale);
    QCOMPARE(numbertext::fromInt(number), text);
}

void tst_NumberText::fromDouble_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");

    QTest::newRow("en 1.5625") << fullStop << 1.5625 << "1.5625";
    QTest::newRow("en 2") << fullStop << 2.0 << "2";
    QTest::newRow("en -0.5") << fullStop << -0.5 << "-0.5";
    QTest::newRow("en 2047.9375") << fullStop << 2047.9375 << "2047.9375";
    QTest::newRow("en -2048") << fullStop << -2048.0 << "-2048";
    QTest::newRow("en 0.0625") << fullStop << 0.0625 << "0.0625";
    QTest::newRow("en -0.0625") << fullStop << -0.0625 << "-0.0625";
    QTest::newRow("en 0") << fullStop << 0.0 << "0";
    QTest::newRow("en -0") << fullStop << -0.0 << "0";
    QTest::newRow("en 0.1") << fullStop << 0.1 << "0.1";
    QTest::newRow("en 12345.5") << fullStop << 12345.5 << "12345.5";
    QTest::newRow("en 1e20") << fullStop << 1e20 << "100000000000000000000";
    QTest::newRow("de 1.5625") << comma << 1.5625 << "1,5625";
    QTest::newRow("de 2") << comma << 2.0 << "2";
    QTest::newRow("de -0.5") << comma << -0.5 << "-0,5";
    QTest::newRow("de 2047.9375") << comma << 2047.9375 << "2047,9375";
    QTest::newRow("de -2048") << comma << -2048.0 << "-2048";
    QTest::newRow("de 12345.5") << comma << 12345.5 << "12345,5";
}

void tst_NumberText::fromDouble()
{
    QFETCH(QLocale, locale);
    QFETCH(double, number);
    QFETCH(QString, text);

    QLocale::setDefault(locale);
    QCOMPARE(numbertext::fromDouble(number), text);
}

// Every sixteenth a 16-bit field can hold comes back exactly, with no more
// than four fraction digits, in both kinds of locale.
void tst_NumberText::fromDoubleSixteenthsReadBack()
{
    for (const QLocale& locale : {fullStop, comma}) {
        QLocale::setDefault(locale);
        const QString separator = locale.decimalPoint();
        for (int raw = std::numeric_limits<qint16>::min(); raw <= std::numeric_limits<qint16>::max(); ++raw) {
            const double number = raw / 16.0;
            const QString text = numbertext::fromDouble(number);
            const qsizetype at = text.indexOf(separator);
            const bool whole = raw % 16 == 0;
            if ((at < 0) != whole ||
                (at >= 0 && (text.size() - at - 1 > 4 || text.endsWith(QLatin1Char('0')))))
                QFAIL(qPrintable(QStringLiteral("%1 written as \"%2\"").arg(raw).arg(text)));
            const std::optional<double> back = numbertext::toDouble(text);
            if (!back || *back != number)
                QFAIL(qPrintable(QStringLiteral("\"%1\" does not read back as %2/16").arg(text).arg(raw)));
        }
    }
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
