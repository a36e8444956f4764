#include "core/WebLinks.h"

#include "storage/IniDocument.h"
#include "storage/Module1.h"

namespace {

// Every built-in address lives on this site.
QString PublisherSite()
{
    return QStringLiteral("https://www.quindle.example/");
}

} // namespace

QString BuiltInHomePageUrl()
{
    return PublisherSite();
}

QString BuiltInDownloadBaseUrl()
{
    return PublisherSite() + QStringLiteral("zanbo/");
}

QString HelpPageUrl()
{
    return PublisherSite() + QStringLiteral("zanbo/help/help.htm");
}

LinkTable LoadWebSettings(const GameTableType &games)
{
    LinkTable links{BuiltInHomePageUrl(), BuiltInDownloadBaseUrl()};
    const QString section = QStringLiteral("WEB");
    // LOTO6 first, then Mini LOTO, so the Mini LOTO file has the last word.
    for (int g = 0; g < GameCount; ++g) {
        const IniDocument file = IniDocument::fromFile(games[g].PatternFilePath);
        const QString home = file.value(section, QStringLiteral("WWW"));
        if (home != AbsentMarker())
            links.HomePageUrl = home;
        const QString download = file.value(section, QStringLiteral("FTP"));
        if (download != AbsentMarker())
            links.DownloadBaseUrl = download;
    }
    return links;
}

bool IsWebAddress(const QUrl &url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme();
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0
           || scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}
