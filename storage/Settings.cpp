#include "storage/Settings.h"

#include "storage/Module1.h"
#include "storage/WholeNumber.h"

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

QString SingleText(float value)
{
    // Seven significant digits hold any single-precision value a window
    // position takes.
    return QString::number(double(value), 'g', 7);
}
