#include "core/ParseNumber.h"

#include <QByteArray>
#include <QTest>

#include <clocale>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "BitCompare.h"

using namespace vortiquo;

namespace {

constexpr double Largest = std::numeric_limits<double>::max();
constexpr double SmallestSubnormal = std::numeric_limits<double>::denorm_min();

double parse(const QByteArray& text)
{
    return ParseNumber(std::string_view(text.constData(), text.size()));
}

QByteArray Repeated(int count, char ch) { return QByteArray(count, ch); }

// A comma-decimal locale for the duration of one test; the previous locale
// comes back however the test ends.
class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr))
    {
        active_ = std::setlocale(LC_ALL, Name) != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    static constexpr const char* Name = "it_IT.UTF-8";
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace

class ParseNumberTest : public QObject {
    Q_OBJECT

private slots:
    void decimalText_data();
    void decimalText();
    void blanksAnywhere_data();
    void blanksAnywhere();
    void noLeadingNumberGivesZero_data();
    void noLeadingNumberGivesZero();
    void radixForms_data();
    void radixForms();
    void beyondDoubleRange_data();
    void beyondDoubleRange();
    void commaDecimalLocale_data();
    void commaDecimalLocale();
};

void ParseNumberTest::decimalText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    // The texts the fields are laid out with.
    QTest::newRow("1e-4") << QByteArray("1e-4") << 0x1.a36e2eb1c432dp-14;
    QTest::newRow("1e-3") << QByteArray("1e-3") << 0x1.0624dd2f1a9fcp-10;
    QTest::newRow("8.0") << QByteArray("8.0") << 8.0;
    QTest::newRow("28") << QByteArray("28") << 28.0;
    QTest::newRow("-2.66666666666667") << QByteArray("-2.66666666666667") << -0x1.555555555555dp+1;
    QTest::newRow("5.7") << QByteArray("5.7") << 0x1.6cccccccccccdp+2;
    QTest::newRow("-1.7") << QByteArray("-1.7") << -0x1.b333333333333p+0;

    // Where the number ends.
    QTest::newRow("comma ends it") << QByteArray("1,5") << 1.0;
    QTest::newRow("second full stop") << QByteArray("1.2.3") << 0x1.3333333333333p+0;
    QTest::newRow("letters after") << QByteArray("12abc") << 12.0;
    QTest::newRow("slash after") << QByteArray("1/3") << 1.0;
    QTest::newRow("carriage return is no blank") << QByteArray("2\r8") << 2.0;
    QTest::newRow("currency sign") << QByteArray("3$") << 3.0;
    QTest::newRow("thousands separator") << QByteArray("1'000") << 1.0;

    // Signs and points.
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("trailing point") << QByteArray("8.") << 8.0;
    QTest::newRow("plus sign") << QByteArray("+5") << 5.0;
    QTest::newRow("minus and point") << QByteArray("-.5") << -0.5;
    QTest::newRow("on the way to 100") << QByteArray("1") << 1.0;

    // Exponents.
    QTest::newRow("capital E") << QByteArray("1E3") << 1000.0;
    QTest::newRow("signed exponent") << QByteArray("2.5e-3") << 0x1.47ae147ae147bp-9;
    QTest::newRow("plus exponent") << QByteArray("1e+3") << 1000.0;
    QTest::newRow("E without digits") << QByteArray("7e") << 7.0;
    QTest::newRow("E and sign without digits") << QByteArray("7e-") << 7.0;
    QTest::newRow("E then letter") << QByteArray("7ex") << 7.0;

    // The nearest double, also where a digit-by-digit reading would miss it.
    QTest::newRow("0.1") << QByteArray("0.1") << 0x1.999999999999ap-4;
    QTest::newRow("halfway rounds to even") << QByteArray("9007199254740993") << 0x1p+53;
    QTest::newRow("just above halfway")
        << QByteArray("9007199254740993.0000000000000000001") << 0x1.0000000000001p+53;
    QTest::newRow("many leading zeros") << Repeated(500, '0') + "12.5" << 12.5;
}

void ParseNumberTest::decimalText()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    COMPARE_BITS(parse(text), expected);
}

void ParseNumberTest::blanksAnywhere_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("space inside") << QByteArray("2 8") << 28.0;
    QTest::newRow("tab and line feed inside") << QByteArray("2\t\n8") << 28.0;
    QTest::newRow("around the point") << QByteArray(" \t1\n2 . 5 ") << 12.5;
    QTest::newRow("after the sign") << QByteArray("- 3") << -3.0;
    QTest::newRow("inside the exponent") << QByteArray("1 e - 3") << 0x1.0624dd2f1a9fcp-10;
    QTest::newRow("inside a hexadecimal form") << QByteArray("\t&\nH F F") << 255.0;
    QTest::newRow("inside an octal form") << QByteArray("& o 1 7") << 15.0;
}

void ParseNumberTest::blanksAnywhere()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    COMPARE_BITS(parse(text), expected);
}

void ParseNumberTest::noLeadingNumberGivesZero_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blanks only") << QByteArray(" \t\n");
    QTest::newRow("lone minus") << QByteArray("-");
    QTest::newRow("lone plus") << QByteArray("+");
    QTest::newRow("lone point") << QByteArray(".");
    QTest::newRow("minus zero point") << QByteArray("-0.");
    QTest::newRow("letters") << QByteArray("abc");
    QTest::newRow("exponent without mantissa") << QByteArray(".e5");
    QTest::newRow("two signs") << QByteArray("+-5");
    QTest::newRow("comma first") << QByteArray(",5");
    QTest::newRow("lone ampersand") << QByteArray("&");
    QTest::newRow("ampersand and another letter") << QByteArray("&X5");
    QTest::newRow("ampersand and a digit") << QByteArray("&5");
}

void ParseNumberTest::noLeadingNumberGivesZero()
{
    QFETCH(QByteArray, text);
    // Either zero is fine here: no model reads the sign of a zero.
    const double value = parse(text);
    QVERIFY2(value == 0.0, qPrintable(describeDouble(value)));
}

void ParseNumberTest::radixForms_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("&HFF") << QByteArray("&HFF") << 255.0;
    QTest::newRow("lower case") << QByteArray("&hff") << 255.0;
    QTest::newRow("16 bits, not negative") << QByteArray("&HFFFF") << 65535.0;
    QTest::newRow("32 bits, not negative") << QByteArray("&HFFFFFFFF") << 4294967295.0;
    QTest::newRow("64 bits, not negative") << QByteArray("&HFFFFFFFFFFFFFFFF") << 0x1p+64;
    QTest::newRow("no digits") << QByteArray("&H") << 0.0;
    QTest::newRow("no sign after &H") << QByteArray("&H-1") << 0.0;
    QTest::newRow("stops at a non-digit") << QByteArray("&H1G2") << 1.0;
    QTest::newRow("many leading zeros") << QByteArray("&H") + Repeated(1000, '0') + "1" << 1.0;
    QTest::newRow("halfway rounds to even") << QByteArray("&H20000000000001") << 0x1p+53;
    QTest::newRow("halfway rounds to even, up") << QByteArray("&H20000000000003") << 0x1.0000000000002p+53;
    QTest::newRow("far digit breaks the tie")
        << QByteArray("&H20000000000001") + Repeated(50, '0') + "1" << 0x1.0000000000001p+257;
    QTest::newRow("2^1020, exact") << QByteArray("&H1") + Repeated(255, '0') << 0x1p+1020;

    QTest::newRow("&O17") << QByteArray("&O17") << 15.0;
    QTest::newRow("lower case o") << QByteArray("&o777") << 511.0;
    QTest::newRow("8 is no octal digit") << QByteArray("&O8") << 0.0;
    QTest::newRow("stops at 8") << QByteArray("&O178") << 15.0;
    QTest::newRow("32 bits, not negative") << QByteArray("&O37777777777") << 4294967295.0;
    QTest::newRow("octal halfway rounds to even") << QByteArray("&O400000000000000001") << 0x1p+53;
    QTest::newRow("octal halfway rounds up to even")
        << QByteArray("&O400000000000000003") << 0x1.0000000000002p+53;
    QTest::newRow("2^1023 in octal") << QByteArray("&O1") + Repeated(341, '0') << 0x1p+1023;

    // Integers too large for a double saturate.
    QTest::newRow("2^1024 - 1 in hexadecimal") << QByteArray("&H") + Repeated(256, 'F') << Largest;
    QTest::newRow("1200 bits in hexadecimal") << QByteArray("&H") + Repeated(300, 'F') << Largest;
    QTest::newRow("2^1024 in octal") << QByteArray("&O2") + Repeated(341, '0') << Largest;
    QTest::newRow("1200 bits in octal") << QByteArray("&O") + Repeated(400, '7') << Largest;
}

void ParseNumberTest::radixForms()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    COMPARE_BITS(parse(text), expected);
}

void ParseNumberTest::beyondDoubleRange_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("largest double") << QByteArray("1.7976931348623157e308") << Largest;
    QTest::newRow("beyond the rounding tie") << QByteArray("1.7976931348623159e308") << Largest;
    QTest::newRow("1e309") << QByteArray("1e309") << Largest;
    QTest::newRow("-1e309") << QByteArray("-1e309") << -Largest;
    QTest::newRow("400 digits") << QByteArray("1") + Repeated(400, '0') << Largest;
    QTest::newRow("huge exponent") << QByteArray("1e99999999999999999999") << Largest;
    QTest::newRow("huge exponent, negative") << QByteArray("-1e99999999999999999999") << -Largest;
    QTest::newRow("small mantissa, huge exponent")
        << QByteArray("0.") + Repeated(30, '0') + "1e400" << Largest;
    QTest::newRow("zero with huge exponent") << QByteArray("0.000e500") << 0.0;

    QTest::newRow("subnormal") << QByteArray("1e-310") << 0x0.012688b70e62bp-1022;
    QTest::newRow("subnormal, long form")
        << QByteArray("0.") + Repeated(320, '0') + "3" << 0x0.000000000025fp-1022;
    QTest::newRow("rounds up to the smallest subnormal") << QByteArray("3e-324") << SmallestSubnormal;
    QTest::newRow("smallest subnormal, negative") << QByteArray("-3e-324") << -SmallestSubnormal;
    QTest::newRow("below half the smallest subnormal") << QByteArray("2e-324") << 0.0;
    QTest::newRow("1e-400") << QByteArray("1e-400") << 0.0;
    QTest::newRow("huge negative exponent") << QByteArray("1e-99999999999999999999") << 0.0;
    // Neither the digits alone nor the exponent alone decide.
    QTest::newRow("400 digits, exponent -800") << QByteArray("1") + Repeated(400, '0') + "e-800" << 0.0;
    QTest::newRow("400 zeros after the point")
        << QByteArray("0.") + Repeated(400, '0') + "1" << 0.0;
}

void ParseNumberTest::beyondDoubleRange()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    COMPARE_BITS(parse(text), expected);
}

void ParseNumberTest::commaDecimalLocale_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("full stop") << QByteArray("1.5") << 1.5;
    QTest::newRow("comma") << QByteArray("1,5") << 1.0;
    QTest::newRow("exponent") << QByteArray("2.5e-3") << 0x1.47ae147ae147bp-9;
    QTest::newRow("beyond range") << QByteArray("-1e309") << -Largest;
}

void ParseNumberTest::commaDecimalLocale()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);

    const CommaLocale locale;
    if (!locale.active()) {
        const QByteArray missing = QByteArray("locale ") + CommaLocale::Name + " is not installed";
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL(missing.constData());
        QSKIP(missing.constData());
    }
    QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
    COMPARE_BITS(parse(text), expected);
}

QTEST_APPLESS_MAIN(ParseNumberTest)
#include "ParseNumberTest.moc"
