#include "storage/Settings.h"

#include "storage/FileIo.h"
#include "storage/Module1.h"
#include "storage/WholeNumber.h"

#include <QFileInfo>

#include <cmath>

namespace {

QString Text(const char16_t *text)
{
    return QString::fromUtf16(text);
}

std::optional<int> InRange(const QString &text, const IntegerSetting &setting)
{
    const std::optional<qint32> value = ParseWholeNumber(text);
    if (!value || *value < setting.Minimum || *value > setting.Maximum)
        return std::nullopt;
    return *value;
}

} // namespace

SettingsSnapshot::SettingsSnapshot(const QString &filePath)
    : m_document(IniDocument::fromFile(filePath))
{}

QString SettingsSnapshot::raw(const char16_t *section, const char16_t *key) const
{
    return m_document.value(Text(section), Text(key));
}

std::optional<int> SettingsSnapshot::stored(const IntegerSetting &setting) const
{
    return InRange(raw(setting.Section, setting.Key), setting);
}

int SettingsSnapshot::value(const IntegerSetting &setting) const
{
    return stored(setting).value_or(setting.Default);
}

QString SettingsSnapshot::value(const TextSetting &setting) const
{
    const QString text = raw(setting.Section, setting.Key);
    return text == AbsentMarker() ? Text(setting.Default) : text;
}

std::optional<float> SettingsSnapshot::value(const SingleSetting &setting) const
{
    bool ok = false;
    const float number = raw(setting.Section, setting.Key).trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

int ReadSetting(const QString &filePath, const IntegerSetting &setting)
{
    const QString text = ReadIniValue(filePath, Text(setting.Section), Text(setting.Key));
    return InRange(text, setting).value_or(setting.Default);
}

int WriteSetting(const QString &filePath, const IntegerSetting &setting, int value)
{
    return WriteIniValue(filePath, Text(setting.Section), Text(setting.Key),
                         QString::number(value));
}

int WriteSetting(const QString &filePath, const TextSetting &setting, const QString &value)
{
    return WriteIniValue(filePath, Text(setting.Section), Text(setting.Key), value);
}

int WriteSetting(const QString &filePath, const SingleSetting &setting, float value)
{
    return WriteIniValue(filePath, Text(setting.Section), Text(setting.Key), SingleText(value));
}

SettingText Entry(const IntegerSetting &setting, int value)
{
    return {setting.Section, setting.Key, QString::number(value)};
}

SettingText Entry(const TextSetting &setting, const QString &value)
{
    return {setting.Section, setting.Key, value};
}

SettingText Entry(const SingleSetting &setting, float value)
{
    return {setting.Section, setting.Key, SingleText(value)};
}

bool WriteSettings(const QString &filePath, const QVector<SettingText> &entries, QString *error)
{
    QByteArray bytes;
    QString why;
    // A file that exists but cannot be read whole must not be replaced by
    // one holding only these keys.
    if (QFileInfo::exists(filePath) && !ReadWholeFile(filePath, bytes, &why)) {
        if (error)
            *error = QStringLiteral("設定ファイル「%1」を読めません。%2").arg(filePath, why);
        return false;
    }
    for (const SettingText &entry : entries)
        bytes = IniDocument::withValue(bytes, Text(entry.Section), Text(entry.Key), entry.Text);
    if (!WriteFileAtomically(filePath, bytes, &why)) {
        if (error)
            *error = QStringLiteral("設定ファイル「%1」に書き込めません。%2").arg(filePath, why);
        return false;
    }
    return true;
}

QString SingleText(float value)
{
    // Seven significant digits hold any single-precision value a window
    // position takes.
    return QString::number(double(value), 'g', 7);
}
