#pragma once

#include "storage/IniDocument.h"

#include <QString>
#include <QVector>

#include <limits>
#include <optional>

// The settings file "zanbo.ini": every key with its section, its default
// and the values it accepts, in one place. A value that is absent, is not a
// whole number or lies outside its range reads as absent, so each caller
// falls back to the same default.

struct IntegerSetting
{
    const char16_t *Section;
    const char16_t *Key;
    int Default;
    int Minimum;
    int Maximum;
};

struct TextSetting
{
    const char16_t *Section;
    const char16_t *Key;
    const char16_t *Default;
};

// A single-precision number (the window position, in twips).
struct SingleSetting
{
    const char16_t *Section;
    const char16_t *Key;
};

namespace Setting {

constexpr int AnyInteger = std::numeric_limits<int>::min();
constexpr int AnyIntegerMax = std::numeric_limits<int>::max();

// Combinations per run: the count slider's range and design value.
constexpr IntegerSetting Kai{u"ALL", u"KAI", 10, 1, 100};
// 0 enables the web buttons, 1 disables them; other values change nothing.
constexpr IntegerSetting NoWeb{u"OPT", u"NOWEB", 0, AnyInteger, AnyIntegerMax};
// Width of every grid column, in twips.
constexpr IntegerSetting ColWidth{u"ETC", u"COLWIDTH", 550, 1, 100000};
// Request time-out of a download, in seconds.
constexpr IntegerSetting NetTimeout{u"ETC", u"NETTIMEOUT", 30, 1, 86400};
// Carried unchanged through the download dialog.
constexpr IntegerSetting NoTosen{u"OPT", u"NOTOSEN", 0, AnyInteger, AnyIntegerMax};
// The display name of the last game.
constexpr TextSetting L6ml{u"ALL", u"L6ML", u"ロト６"};
constexpr SingleSetting PosLeft{u"ALL", u"POSLEFT"};
constexpr SingleSetting PosTop{u"ALL", u"POSTOP"};
// Addresses of published draw CSV files, up to two per game; empty: none.
constexpr TextSetting L6Url1{u"DRAWS", u"L6URL1", u""};
constexpr TextSetting L6Url2{u"DRAWS", u"L6URL2", u""};
constexpr TextSetting MlUrl1{u"DRAWS", u"MLURL1", u""};
constexpr TextSetting MlUrl2{u"DRAWS", u"MLURL2", u""};
constexpr TextSetting L7Url1{u"DRAWS", u"L7URL1", u""};
constexpr TextSetting L7Url2{u"DRAWS", u"L7URL2", u""};
// 1: the draw sources are checked in the background at start-up.
constexpr IntegerSetting CheckDrawsAtStart{u"DRAWS", u"CHECKATSTART", 0, 0, 1};
// The main window's size, in twips, once the user changed it from the design's.
constexpr IntegerSetting Width{u"ALL", u"POSWIDTH", 11550, 1500, 1000000};
constexpr IntegerSetting Height{u"ALL", u"POSHEIGHT", 7800, 1500, 1000000};

} // namespace Setting

// The settings file read once, for start-up, which reads many keys while
// nothing writes the file.
class SettingsSnapshot
{
public:
    explicit SettingsSnapshot(const QString &filePath);

    // The stored value when it is a whole number in range, else nothing.
    std::optional<int> stored(const IntegerSetting &setting) const;
    // The stored value, or the default.
    int value(const IntegerSetting &setting) const;
    // The stored text, or the default when absent.
    QString value(const TextSetting &setting) const;
    // A finite single-precision number, else nothing.
    std::optional<float> value(const SingleSetting &setting) const;

private:
    QString raw(const char16_t *section, const char16_t *key) const;

    IniDocument m_document;
};

// Reads one setting afresh from the file (values the program reads at the
// moment it needs them, such as the download time-out).
int ReadSetting(const QString &filePath, const IntegerSetting &setting);

// Write through WriteIniValue; nonzero on success.
int WriteSetting(const QString &filePath, const IntegerSetting &setting, int value);
int WriteSetting(const QString &filePath, const TextSetting &setting, const QString &value);
int WriteSetting(const QString &filePath, const SingleSetting &setting, float value);

// One key and the text stored under it.
struct SettingText
{
    const char16_t *Section;
    const char16_t *Key;
    QString Text;
};
SettingText Entry(const IntegerSetting &setting, int value);
SettingText Entry(const TextSetting &setting, const QString &value);
SettingText Entry(const SingleSetting &setting, float value);

// Writes every entry in one replace of the file: all of them are kept or
// none. False, with error set to why in Japanese, when the file could not be
// read whole or written.
bool WriteSettings(const QString &filePath, const QVector<SettingText> &entries, QString *error);

// The text a single-precision number is stored as.
QString SingleText(float value);
