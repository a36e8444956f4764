#include "core/DrawFile.h"

#include "core/GameTable.h"
#include "storage/CodePage.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <deque>
#include <limits>
#include <utility>

namespace {

// A whole number of decimal digits (full-width ones too); empty when the
// text is anything else or too large.
std::optional<qint64> ParseDigits(QStringView text)
{
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        const int digit = c.digitValue();
        if (digit < 0)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int> ParseSmall(QStringView text)
{
    const std::optional<qint64> value = ParseDigits(text.trimmed());
    if (!value || *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*value);
}

// Draw numbers are written "1234", "第1234回" or "1234回".
std::optional<int> ParseDrawNumber(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'第'))
        text = text.mid(1);
    if (text.endsWith(u'回'))
        text.chop(1);
    return ParseSmall(text);
}

// A field or row as a message quotes it: a hostile file's 64 MB field is
// not copied into every reason.
constexpr int MaxShownField = 40;
constexpr int MaxShownRow = 400;
QString Shown(QStringView text, qsizetype most = MaxShownField)
{
    if (text.size() <= most)
        return text.toString();
    return text.left(most).toString() + QStringLiteral("…");
}

// An amount with more digits than ParseAmount takes.
constexpr qint64 TooLarge = -2;

// Yen and counts: thousands separators, a trailing "円" or "口" and blanks
// are allowed; anything that is still no number (empty, "該当なし") is
// unknown, and a number of more than 15 digits TooLarge.
qint64 ParseAmount(QStringView text)
{
    qint64 value = 0;
    int digits = 0;
    for (const QChar c : text) {
        if (c == u',' || c == u'，' || c == u'円' || c == u'口' || c.isSpace())
            continue;
        const int digit = c.digitValue();
        if (digit < 0)
            return DrawRecord::Unknown;
        if (++digits > 15)
            value = TooLarge;
        else if (value != TooLarge)
            value = value * 10 + digit;
    }
    return digits == 0 ? DrawRecord::Unknown : value;
}

// The line ends and quotes of CSV: fields separated by commas, rows by CR LF,
// LF or CR; a quoted field may hold commas, line ends and doubled quotes.
class CsvReader
{
public:
    explicit CsvReader(QStringView text)
        : m_text(text)
    {}

    // The next row's fields (blanks around each field trimmed), its first
    // line and its text; false at the end of the text.
    bool next(QVector<QStringView> &fields, int &line, QStringView &rowText)
    {
        fields.clear();
        m_unquoted.clear();
        if (m_pos >= m_text.size())
            return false;
        line = m_line;
        const qsizetype start = m_pos;
        for (;;) {
            fields.append(readField());
            if (m_pos >= m_text.size())
                break;
            const QChar c = m_text.at(m_pos);
            if (c == u',') {
                ++m_pos;
                continue;
            }
            rowText = m_text.mid(start, m_pos - start);
            skipLineEnd();
            return true;
        }
        rowText = m_text.mid(start, m_pos - start);
        return true;
    }

private:
    QStringView readField()
    {
        qsizetype pos = m_pos;
        while (pos < m_text.size() && (m_text.at(pos) == u' ' || m_text.at(pos) == u'\t'))
            ++pos;
        if (pos < m_text.size() && m_text.at(pos) == u'"') {
            m_pos = pos;
            return readQuoted();
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == u',' || c == u'\r' || c == u'\n')
                break;
            ++m_pos;
        }
        return m_text.mid(start, m_pos - start).trimmed();
    }

    QStringView readQuoted()
    {
        const qsizetype start = ++m_pos;
        bool doubled = false;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == u'"') {
                if (m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'"') {
                    doubled = true;
                    m_pos += 2;
                    continue;
                }
                break;
            }
            if (c == u'\n'
                || (c == u'\r' && !(m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'\n')))
                ++m_line;
            ++m_pos;
        }
        QStringView field = m_text.mid(start, m_pos - start);
        if (m_pos < m_text.size())
            ++m_pos; // the closing quote
        // Anything between the closing quote and the separator is dropped.
        while (m_pos < m_text.size() && m_text.at(m_pos) != u',' && m_text.at(m_pos) != u'\r'
               && m_text.at(m_pos) != u'\n')
            ++m_pos;
        if (doubled) {
            m_unquoted.push_back(Undoubled(field));
            field = m_unquoted.back();
        }
        return field.trimmed();
    }

    // Inside a quoted field every quote is doubled. One pass: replacing
    // pairs in a field of millions of quotes moved the rest of the field for
    // each batch of them, minutes for a hostile file.
    static QString Undoubled(QStringView field)
    {
        QString text;
        text.reserve(field.size());
        for (qsizetype i = 0; i < field.size(); ++i) {
            text.append(field[i]);
            if (field[i] == u'"' && i + 1 < field.size() && field[i + 1] == u'"')
                ++i;
        }
        return text;
    }

    void skipLineEnd()
    {
        if (m_text.at(m_pos) == u'\r')
            ++m_pos;
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'\n')
            ++m_pos;
        ++m_line;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    // Fields that held doubled quotes, unescaped; a deque keeps them in place.
    std::deque<QString> m_unquoted;
};

template<size_t Count>
constexpr std::array<int, Count> NoColumns()
{
    std::array<int, Count> columns{};
    for (int &column : columns)
        column = -1;
    return columns;
}

// Where each field of a row stands; -1 where the file has no such column.
struct Layout
{
    int DrawNumber = -1;
    int Date = -1;
    std::array<int, DrawRecord::MaxMainNumbers> Mains;
    int MainCount = 0;
    std::array<int, DrawRecord::MaxBonusNumbers> Bonuses;
    int BonusCount = 0;
    std::array<int, DrawRecord::MaxTiers> Winners;
    std::array<int, DrawRecord::MaxTiers> PrizeYen;
    int CarryOver = -1;

    Layout()
    {
        Mains.fill(-1);
        Bonuses.fill(-1);
        Winners.fill(-1);
        PrizeYen.fill(-1);
    }

    int neededFields() const
    {
        int last = std::max(DrawNumber, Date);
        for (int i = 0; i < MainCount; ++i)
            last = std::max(last, Mains[size_t(i)]);
        for (int i = 0; i < BonusCount; ++i)
            last = std::max(last, Bonuses[size_t(i)]);
        return last + 1;
    }
};

// Without a header: draw number, date, the main numbers, the bonus numbers.
Layout PlainLayout(int game)
{
    Layout layout;
    layout.DrawNumber = 0;
    layout.Date = 1;
    layout.MainCount = GameRuleOf(game).PickCount;
    for (int i = 0; i < layout.MainCount; ++i)
        layout.Mains[size_t(i)] = 2 + i;
    layout.BonusCount = GameRuleOf(game).BonusCount;
    for (int i = 0; i < layout.BonusCount; ++i)
        layout.Bonuses[size_t(i)] = 2 + layout.MainCount + i;
    return layout;
}

bool IsOneOf(const QString &name, std::initializer_list<const char16_t *> names)
{
    for (const char16_t *candidate : names) {
        if (name.compare(QStringView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The number in "第3数字", "本数字3", "数字3", "3等口数" and the like: the
// digits of name once prefix and suffix are taken off; 0 when it is not so.
int NumberIn(const QString &name, QStringView prefix, QStringView suffix)
{
    if (!name.startsWith(prefix, Qt::CaseInsensitive) || !name.endsWith(suffix)
        || name.size() <= prefix.size() + suffix.size())
        return 0;
    const std::optional<int> n = ParseSmall(
        QStringView(name).mid(prefix.size(), name.size() - prefix.size() - suffix.size()));
    return n.value_or(0);
}

// The slot of a numbered column ("第3数字", "ボーナス数字2", "4等口数"), or null.
int *NumberedSlot(Layout &layout, const QString &name)
{
    int n = NumberIn(name, u"第", u"数字");
    if (n == 0)
        n = NumberIn(name, u"本数字", u"");
    if (n == 0)
        n = NumberIn(name, u"数字", u"");
    if (n >= 1 && n <= DrawRecord::MaxMainNumbers)
        return &layout.Mains[size_t(n - 1)];
    int bonus = NumberIn(name, u"ボーナス数字", u"");
    if (bonus == 0)
        bonus = NumberIn(name, u"BONUS数字", u"");
    if (bonus >= 1 && bonus <= DrawRecord::MaxBonusNumbers)
        return &layout.Bonuses[size_t(bonus - 1)];
    const int winners = NumberIn(name, u"", u"等口数");
    if (winners >= 1 && winners <= DrawRecord::MaxTiers)
        return &layout.Winners[size_t(winners - 1)];
    const int prize = NumberIn(name, u"", u"等賞金");
    if (prize >= 1 && prize <= DrawRecord::MaxTiers)
        return &layout.PrizeYen[size_t(prize - 1)];
    return nullptr;
}

// The slot of the column with this name, or null; ours tells a name of ours
// even without a free slot (a third unnumbered bonus column).
int *HeaderSlot(Layout &layout, const QString &name, bool &ours)
{
    ours = true;
    if (IsOneOf(name, {u"開催回", u"回別", u"回号", u"抽せん回", u"抽選回"}))
        return &layout.DrawNumber;
    if (IsOneOf(name, {u"日付", u"抽せん日", u"抽選日"}))
        return &layout.Date;
    if (IsOneOf(name, {u"BONUS数字", u"ボーナス数字", u"ボーナス"})) {
        // Unnumbered bonus columns take the bonus numbers in turn.
        const auto free = std::find(layout.Bonuses.begin(), layout.Bonuses.end(), -1);
        return free != layout.Bonuses.end() ? &*free : nullptr;
    }
    if (IsOneOf(name, {u"キャリーオーバー"}))
        return &layout.CarryOver;
    int *slot = NumberedSlot(layout, name);
    ours = slot != nullptr;
    return slot;
}

// Columns found by their names; nullopt when the row names no column of ours.
std::optional<Layout> HeaderLayout(const QVector<QStringView> &fields)
{
    Layout layout;
    bool known = false;
    for (int column = 0; column < fields.size(); ++column) {
        // No column name is long; a long field is data, not worth normalizing.
        if (fields.at(column).size() > MaxShownField)
            continue;
        // Full-width letters and digits and blanks are written many ways.
        QString name = fields.at(column).toString().normalized(QString::NormalizationForm_KC);
        name.remove(QLatin1Char(' '));
        bool ours = false;
        int *slot = HeaderSlot(layout, name, ours);
        known = known || ours;
        // The first column of a name counts.
        if (slot && *slot < 0)
            *slot = column;
    }
    if (!known)
        return std::nullopt;
    while (layout.MainCount < DrawRecord::MaxMainNumbers
           && layout.Mains[size_t(layout.MainCount)] >= 0)
        ++layout.MainCount;
    while (layout.BonusCount < DrawRecord::MaxBonusNumbers
           && layout.Bonuses[size_t(layout.BonusCount)] >= 0)
        ++layout.BonusCount;
    return layout;
}

// The game of a header's columns: the one with as many main numbers as the
// number columns and no more bonus numbers than the bonus columns; -1 when
// a column the draw needs is missing.
int HeaderGame(const Layout &layout)
{
    if (layout.DrawNumber < 0 || layout.Date < 0)
        return -1;
    for (int game = 0; game < GameCount; ++game) {
        const GameRule &rule = GameRuleOf(game);
        if (layout.MainCount == rule.PickCount && layout.BonusCount >= rule.BonusCount)
            return game;
    }
    return -1;
}

QStringView Field(const QVector<QStringView> &fields, int column)
{
    return column >= 0 && column < fields.size() ? fields.at(column) : QStringView();
}

DrawFields FieldsOf(const QVector<QStringView> &fields, const Layout &layout)
{
    DrawFields draw;
    draw.DrawNumber = Field(fields, layout.DrawNumber);
    draw.Date = Field(fields, layout.Date);
    for (int i = 0; i < layout.MainCount; ++i)
        draw.Mains[size_t(i)] = Field(fields, layout.Mains[size_t(i)]);
    draw.Bonus = Field(fields, layout.Bonuses[0]);
    for (size_t i = 0; i < draw.MoreBonuses.size(); ++i)
        draw.MoreBonuses[i] = Field(fields, layout.Bonuses[i + 1]);
    for (int t = 0; t < DrawRecord::MaxTiers; ++t) {
        draw.Winners[size_t(t)] = Field(fields, layout.Winners[size_t(t)]);
        draw.PrizeYen[size_t(t)] = Field(fields, layout.PrizeYen[size_t(t)]);
    }
    draw.CarryOverYen = Field(fields, layout.CarryOver);
    return draw;
}

bool IsBlankRow(const QVector<QStringView> &fields)
{
    return std::all_of(fields.begin(), fields.end(),
                       [](QStringView field) { return field.isEmpty(); });
}

// Whether every number in the columns of game's main and bonus numbers is
// within the game's range; fields that are no number are left to the checks.
bool NumbersFit(const QVector<QStringView> &fields, int game)
{
    const GameInfo &info = GameInfoOf(game);
    const int end = 2 + info.PickCount + info.BonusCount;
    for (int column = 2; column < std::min(int(fields.size()), end); ++column) {
        const std::optional<int> number = ParseSmall(fields.at(column));
        if (number && *number > info.MaxNumber)
            return false;
    }
    return true;
}

// Without a header the game is the one under whose layout more of the first
// rows pass the checks, among those whose range holds every number; with as
// many, the one with more numbers when most rows are long enough for it.
// When no row passes, the game with the most numbers whose main numbers the
// rows hold, so its rows are refused with their reasons.
int PlainGame(QStringView text)
{
    CsvReader reader(text);
    QVector<QStringView> fields;
    int line = 0;
    QStringView rowText;
    std::array<int, GameCount> passed{};
    std::array<int, GameCount> longEnough{};
    std::array<int, GameCount> holdsMains{};
    std::array<bool, GameCount> fits;
    fits.fill(true);
    int rows = 0;
    while (rows < 200 && reader.next(fields, line, rowText)) {
        if (IsBlankRow(fields))
            continue;
        ++rows;
        for (int game = 0; game < GameCount; ++game) {
            const Layout layout = PlainLayout(game);
            fits[size_t(game)] = fits[size_t(game)] && NumbersFit(fields, game);
            longEnough[size_t(game)] += fields.size() >= layout.neededFields();
            holdsMains[size_t(game)] += fields.size() >= layout.neededFields() - 1;
            if (fields.size() >= layout.neededFields()
                && CheckDraw(FieldsOf(fields, layout), game, nullptr))
                ++passed[size_t(game)];
        }
    }
    const auto more = [&](int game, int best) {
        const int pick = GameInfoOf(game).PickCount;
        const int bestPick = GameInfoOf(best).PickCount;
        if (passed[size_t(game)] != passed[size_t(best)])
            return passed[size_t(game)] > passed[size_t(best)];
        return pick > bestPick ? longEnough[size_t(game)] * 2 > rows
                               : longEnough[size_t(best)] * 2 <= rows;
    };
    int best = -1;
    for (int game = 0; game < GameCount; ++game) {
        if (fits[size_t(game)] && passed[size_t(game)] > 0 && (best < 0 || more(game, best)))
            best = game;
    }
    if (best >= 0)
        return best;
    for (int game = 0; game < GameCount; ++game) {
        if (fits[size_t(game)] && holdsMains[size_t(game)] * 2 > rows
            && (best < 0 || GameInfoOf(game).PickCount > GameInfoOf(best).PickCount))
            best = game;
    }
    return best;
}

} // namespace

QDate FirstDrawDate(int game)
{
    // By the game's key; a game added to the table adds its first draw here.
    if (game < 0 || game >= GameCount)
        return QDate();
    const std::string_view key = GameRuleOf(game).Key;
    if (key == "loto6")
        return QDate(2000, 10, 5);
    if (key == "miniloto")
        return QDate(1999, 4, 13);
    if (key == "loto7")
        return QDate(2013, 4, 5);
    return QDate();
}

namespace {

// Japanese eras a draw may be dated in, by name and initial, and the
// western year before their first.
struct Era
{
    const char16_t *Name;
    char16_t Initial;
    int YearBefore;
};
constexpr Era Eras[] = {{u"令和", u'R', 2018}, {u"平成", u'H', 1988}};

// Takes an era off the front of text: the western year before its first
// year, or 0 when text starts with none.
int TakeEra(QString &text)
{
    for (const Era &era : Eras) {
        const QStringView name(era.Name);
        if (text.startsWith(name)) {
            text.remove(0, name.size());
            // The first year of an era is written "元年".
            if (text.startsWith(u'元'))
                text.replace(0, 1, QStringLiteral("1"));
            return era.YearBefore;
        }
        if (text.size() > 1 && text.at(0).toUpper() == QChar(era.Initial) && text.at(1).isDigit()) {
            text.remove(0, 1);
            return era.YearBefore;
        }
    }
    return 0;
}

// Year, month and day in that order: "2027年1月21日", "2027/1/21",
// "2027.1.21", "2027-01-21" or "20270121".
QList<QStringView> DateParts(QStringView text)
{
    if (text.contains(u'年')) {
        const qsizetype year = text.indexOf(u'年');
        const qsizetype month = text.indexOf(u'月');
        if (month < year || !text.endsWith(u'日'))
            return {};
        return {text.left(year), text.mid(year + 1, month - year - 1),
                text.mid(month + 1, text.size() - month - 2)};
    }
    if (text.size() == 8 && ParseDigits(text))
        return {text.left(4), text.mid(4, 2), text.mid(6, 2)};
    for (const QChar separator : {u'/', u'.', u'-'}) {
        if (text.contains(separator))
            return text.split(separator);
    }
    return {};
}

} // namespace

QDate ParseDrawDate(QStringView input, QString *reason)
{
    // Full-width digits and brackets, and "㍻", read as their plain forms.
    QString text = input.toString().normalized(QString::NormalizationForm_KC).trimmed();
    // A weekday after the date: "2027/1/21(木)".
    if (text.endsWith(u')') && text.lastIndexOf(u'(') > 0)
        text = text.left(text.lastIndexOf(u'(')).trimmed();
    const int yearBefore = TakeEra(text);
    const QList<QStringView> parts = DateParts(text);
    if (parts.size() != 3 || parts[1].isEmpty() || parts[1].size() > 2 || parts[2].isEmpty()
        || parts[2].size() > 2
        || (yearBefore > 0 ? parts[0].isEmpty() || parts[0].size() > 2 : parts[0].size() != 4)) {
        // "1/28/2027": whether month or day comes first cannot be known.
        if (reason && yearBefore == 0 && parts.size() == 3 && parts[2].size() == 4
            && parts[0].size() <= 2 && parts[1].size() <= 2)
            *reason = QStringLiteral("日付「%1」は月と日のどちらが先か分かりません"
                                     "（年を先に、年/月/日の順で書いてください）")
                          .arg(input.toString());
        return QDate();
    }
    const std::optional<qint64> year = ParseDigits(parts[0]);
    const std::optional<qint64> month = ParseDigits(parts[1]);
    const std::optional<qint64> day = ParseDigits(parts[2]);
    if (!year || !month || !day || (yearBefore > 0 && *year == 0))
        return QDate();
    return QDate(yearBefore + int(*year), int(*month), int(*day));
}

namespace {

// Why a draw's date cannot be right: before the game's first draw, not the
// first draw's date for draw 1, or more than a week ahead of today.
QString DateOutOfRange(const QDate &date, int drawNumber, int game)
{
    const QDate first = FirstDrawDate(game);
    const QString text = date.toString(QStringLiteral("yyyy/MM/dd"));
    if (date < first || (drawNumber == 1 && date != first))
        return QStringLiteral("日付%1が%2の第1回（%3）と合いません")
            .arg(text, GameInfoOf(game).GameName, first.toString(QStringLiteral("yyyy/MM/dd")));
    if (date > QDate::currentDate().addDays(7))
        return QStringLiteral("日付%1が7日より先です").arg(text);
    return QString();
}

// The main numbers into record, sorted; why not when they are wrong.
QString ReadMainNumbers(const DrawFields &fields, const GameRule &info, const QString &range,
                        DrawRecord &record)
{
    record.MainCount = info.PickCount;
    for (int i = 0; i < info.PickCount; ++i) {
        const QStringView text = fields.Mains[size_t(i)];
        const std::optional<int> number = ParseSmall(text);
        if (!number || *number < 1 || *number > info.HighestNumber)
            return QStringLiteral("本数字「%1」が%2の整数ではありません").arg(Shown(text), range);
        for (int k = 0; k < i; ++k) {
            if (record.Numbers[size_t(k)] == *number)
                return QStringLiteral("本数字%1が重複しています").arg(*number);
        }
        record.Numbers[size_t(i)] = *number;
    }
    std::sort(record.Numbers.begin(), record.Numbers.begin() + info.PickCount);
    return QString();
}

QString ReadDrawNumberAndDate(const DrawFields &fields, int game, DrawRecord &record)
{
    const std::optional<int> drawNumber = ParseDrawNumber(fields.DrawNumber);
    if (!drawNumber || *drawNumber <= 0)
        return QStringLiteral("回号「%1」が正の整数ではありません").arg(Shown(fields.DrawNumber));
    if (*drawNumber > DrawRecord::MaxDrawNumber)
        return QStringLiteral("回号「%1」が1～%2の範囲にありません")
            .arg(Shown(fields.DrawNumber))
            .arg(DrawRecord::MaxDrawNumber);
    record.DrawNumber = *drawNumber;

    QString dateReason;
    record.Date = ParseDrawDate(fields.Date, &dateReason);
    if (!record.Date.isValid())
        return dateReason.isEmpty()
                   ? QStringLiteral("日付「%1」が正しくありません").arg(Shown(fields.Date))
                   : dateReason;
    return DateOutOfRange(record.Date, record.DrawNumber, game);
}

QString ReadBonusNumbers(const DrawFields &fields, const GameRule &info, const QString &range,
                         DrawRecord &record)
{
    std::array<int, DrawRecord::MaxBonusNumbers> bonuses{};
    for (size_t i = 0; i < bonuses.size() && int(i) < info.BonusCount; ++i) {
        const QStringView text = i == 0 ? fields.Bonus : fields.MoreBonuses[i - 1];
        const std::optional<int> bonus = ParseSmall(text);
        if (!bonus || *bonus < 1 || *bonus > info.HighestNumber)
            return QStringLiteral("ボーナス数字「%1」が%2の整数ではありません")
                .arg(Shown(text), range);
        if (std::find(record.Numbers.begin(), record.Numbers.begin() + info.PickCount, *bonus)
            != record.Numbers.begin() + info.PickCount)
            return QStringLiteral("ボーナス数字%1が本数字と重複しています").arg(*bonus);
        if (std::find(bonuses.begin(), bonuses.begin() + i, *bonus) != bonuses.begin() + i)
            return QStringLiteral("ボーナス数字%1が重複しています").arg(*bonus);
        bonuses[i] = *bonus;
    }
    const size_t count = std::min(bonuses.size(), size_t(info.BonusCount));
    std::sort(bonuses.begin(), bonuses.begin() + count);
    record.Bonus = bonuses[0];
    std::copy_n(bonuses.begin() + 1, record.MoreBonuses.size(), record.MoreBonuses.begin());
    return QString();
}

// Amounts past the limit are refused, not guessed: the back-test sums them
// over every saved row.
QString ReadAmounts(const DrawFields &fields, int game, DrawRecord &record)
{
    const auto tooLarge = [](QStringView text) {
        return QStringLiteral("金額「%1」が1兆円を超えています").arg(Shown(text));
    };
    for (int t = 0; t < TierCount(game); ++t) {
        record.Winners[size_t(t)] = ParseAmount(fields.Winners[size_t(t)]);
        if (record.Winners[size_t(t)] == TooLarge)
            return QStringLiteral("口数「%1」が大きすぎます").arg(Shown(fields.Winners[size_t(t)]));
        record.PrizeYen[size_t(t)] = ParseAmount(fields.PrizeYen[size_t(t)]);
        if (record.PrizeYen[size_t(t)] == TooLarge
            || record.PrizeYen[size_t(t)] > DrawRecord::MaxYen)
            return tooLarge(fields.PrizeYen[size_t(t)]);
    }
    if (GameRuleOf(game).CarryOver) {
        record.CarryOverYen = ParseAmount(fields.CarryOverYen);
        if (record.CarryOverYen == TooLarge || record.CarryOverYen > DrawRecord::MaxYen)
            return tooLarge(fields.CarryOverYen);
    }
    return QString();
}

} // namespace

std::optional<DrawRecord> CheckDraw(const DrawFields &fields, int game, QString *reason)
{
    const auto refuse = [reason](const QString &why) -> std::optional<DrawRecord> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (game < 0 || game >= GameCount)
        return refuse(QStringLiteral("ゲームが分かりません"));
    const GameRule &info = GameRuleOf(game);
    DrawRecord record;
    record.Game = game;
    const QString range = QStringLiteral("1～%1").arg(info.HighestNumber);
    if (const QString why = ReadDrawNumberAndDate(fields, game, record); !why.isEmpty())
        return refuse(why);
    if (const QString why = ReadMainNumbers(fields, info, range, record); !why.isEmpty())
        return refuse(why);
    if (const QString why = ReadBonusNumbers(fields, info, range, record); !why.isEmpty())
        return refuse(why);
    if (const QString why = ReadAmounts(fields, game, record); !why.isEmpty())
        return refuse(why);
    return record;
}

QString DecodeDrawFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return FromCp932(bytes);
}

namespace {

// A first row that names no column of ours and holds neither a draw number
// nor a date is a header of names we do not know; it is no draw.
bool LooksLikeUnknownHeader(const QVector<QStringView> &fields)
{
    return fields.size() >= 2 && !ParseDrawNumber(fields.at(0))
           && !ParseDrawDate(fields.at(1)).isValid();
}

// Reads the first row that is not blank: the header, or already a draw.
// Returns whether that row was a draw, so the caller reads it as one. With
// game set, that game is read whatever the columns suggest.
bool ReadLayout(CsvReader &reader, const QString &text, QVector<QStringView> &fields, int &line,
                QStringView &rowText, DrawFile &file, Layout &layout, int game)
{
    while (reader.next(fields, line, rowText)) {
        if (IsBlankRow(fields))
            continue;
        file.Empty = false;
        if (const std::optional<Layout> header = HeaderLayout(fields)) {
            file.HasHeader = true;
            layout = *header;
            file.Game = game >= 0 ? game : HeaderGame(layout);
            if (game >= 0 && layout.MainCount != GameInfoOf(game).PickCount)
                layout.MainCount = GameInfoOf(game).PickCount;
            return false;
        }
        file.Game = game >= 0 ? game : PlainGame(text);
        if (file.Game >= 0)
            layout = PlainLayout(file.Game);
        return !LooksLikeUnknownHeader(fields);
    }
    return false;
}

} // namespace

DrawFile ReadDrawFile(const QByteArray &bytes, const QString &source, const QDateTime &storedAt,
                      int game, const std::function<bool(double done)> &progress)
{
    DrawFile file;
    if (game >= GameCount)
        game = -1;
    const QString text = DecodeDrawFile(bytes);
    CsvReader reader(text);
    QVector<QStringView> fields;
    int line = 0;
    QStringView rowText;
    Layout layout;
    bool firstDrawRead = ReadLayout(reader, text, fields, line, rowText, file, layout, game);
    if (file.Game < 0)
        return file;

    const int needed = layout.neededFields();
    QHash<int, int> lineOfDraw;
    file.Draws.reserve(int(text.size() / 64));
    while (std::exchange(firstDrawRead, false) || reader.next(fields, line, rowText)) {
        if (IsBlankRow(fields))
            continue;
        if (progress && file.Rows % 4096 == 0
            && !progress(double(rowText.data() - text.constData()) / double(text.size())))
            break;
        ++file.Rows;
        QString reason;
        std::optional<DrawRecord> checked;
        if (fields.size() < needed)
            reason = QStringLiteral("列が足りません");
        else
            checked = CheckDraw(FieldsOf(fields, layout), file.Game, &reason);
        if (!checked) {
            file.Rejected.append({line, reason, Shown(rowText, MaxShownRow)});
            continue;
        }
        const int earlier = lineOfDraw.value(checked->DrawNumber);
        if (earlier > 0) {
            file.Rejected.append(
                {line,
                 QStringLiteral("第%1回が%2行目にもあります").arg(checked->DrawNumber).arg(earlier),
                 Shown(rowText, MaxShownRow)});
            continue;
        }
        lineOfDraw.insert(checked->DrawNumber, line);
        DrawRecord &record = file.Draws.emplace_back(std::move(*checked));
        record.Source = source;
        record.StoredAt = storedAt;
    }
    return file;
}

QByteArray WriteDrawFile(const QVector<DrawRecord> &draws, int game)
{
    const GameRule &info = GameRuleOf(game);
    QStringList header{QStringLiteral("開催回"), QStringLiteral("日付")};
    for (int i = 1; i <= info.PickCount; ++i)
        header << QStringLiteral("第%1数字").arg(i);
    if (info.BonusCount == 1)
        header << QStringLiteral("BONUS数字");
    else
        for (int i = 1; i <= info.BonusCount; ++i)
            header << QStringLiteral("BONUS数字%1").arg(i);
    for (int t = 1; t <= TierCount(game); ++t)
        header << QStringLiteral("%1等口数").arg(t);
    for (int t = 1; t <= TierCount(game); ++t)
        header << QStringLiteral("%1等賞金").arg(t);
    if (GameRuleOf(game).CarryOver)
        header << QStringLiteral("キャリーオーバー");

    const auto amount = [](qint64 value) {
        return value == DrawRecord::Unknown ? QString() : QString::number(value);
    };
    QString text = QChar(QChar::ByteOrderMark) + header.join(QLatin1Char(','))
                   + QStringLiteral("\r\n");
    text.reserve(text.size() + draws.size() * 96);
    QStringList row;
    for (const DrawRecord &draw : draws) {
        if (draw.Game != game)
            continue;
        row.clear();
        row << QString::number(draw.DrawNumber) << draw.Date.toString(QStringLiteral("yyyy/MM/dd"));
        for (int i = 0; i < info.PickCount; ++i)
            row << QString::number(draw.Numbers[size_t(i)]);
        row << QString::number(draw.Bonus);
        for (int i = 1; i < info.BonusCount; ++i)
            row << QString::number(draw.MoreBonuses[size_t(i - 1)]);
        for (int t = 0; t < TierCount(game); ++t)
            row << amount(draw.Winners[size_t(t)]);
        for (int t = 0; t < TierCount(game); ++t)
            row << amount(draw.PrizeYen[size_t(t)]);
        if (GameRuleOf(game).CarryOver)
            row << amount(draw.CarryOverYen);
        text += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}
