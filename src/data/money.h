#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <compare>
#include <optional>

// An exact amount of money in ten-thousandths, the four decimal places
// that amount columns keep. Amounts never pass through binary floating
// point on their way from an editor to the database and into sums: text is
// read digit by digit, products are rounded once, half away from zero.
class Money
{
public:
    static constexpr qint64 kScale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units)
    {
        Money m;
        m.m_units = units;
        return m;
    }
    // "1234.5", "-0.25", "1,234.56", "+3", " 7 "; more than four decimal
    // places are rounded. Anything else (empty, letters, exponents, a value
    // beyond about 9e11) is no amount.
    static std::optional<Money> parse(QStringView text);
    // A double as the shortest decimal text that reads back as it: 0.1 is
    // exactly one tenth, the value typed, not the binary fraction.
    static std::optional<Money> fromDouble(double d);
    // Money, a whole number, a double or text; null, empty or unreadable is
    // no amount.
    static std::optional<Money> fromVariant(const QVariant &v);

    constexpr qint64 units() const { return m_units; }
    double toDouble() const { return double(m_units) / kScale; }
    bool isZero() const { return m_units == 0; }
    // Plain decimal text without trailing zeros: "827", "0.25", "-3.5".
    QString toString() const;
    // Grouped in thousands with at least two decimal places: "1,234.50",
    // "0.1234".
    QString toGrouped() const;
    // The zh_CN money form: "¥1,234.50", "-¥3.00".
    QString toCurrencyText() const;

    // The product rounded once to four places; nullopt on overflow.
    std::optional<Money> times(const Money &factor) const;
    // The product with a factor read as its shortest decimal text (an
    // exchange rate kept as a double); nullopt on overflow.
    std::optional<Money> times(double factor) const;
    // this × a × factor, rounded once.
    std::optional<Money> times(const Money &a, double factor) const;

    Money operator+(const Money &o) const { return fromUnits(m_units + o.m_units); }
    Money operator-(const Money &o) const { return fromUnits(m_units - o.m_units); }
    Money &operator+=(const Money &o)
    {
        m_units += o.m_units;
        return *this;
    }
    friend bool operator==(const Money &a, const Money &b) { return a.m_units == b.m_units; }
    friend bool operator<(const Money &a, const Money &b) { return a.m_units < b.m_units; }
    friend auto operator<=>(const Money &a, const Money &b) { return a.m_units <=> b.m_units; }

private:
    qint64 m_units = 0;
};

Q_DECLARE_METATYPE(Money)
