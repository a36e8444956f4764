#pragma once

#include "core/GameTable.h"

#include <QString>
#include <QUrl>

// The publisher's site: one place for the built-in addresses.
QString BuiltInHomePageUrl();
QString BuiltInDownloadBaseUrl();
QString HelpPageUrl();

struct LinkTable
{
    QString HomePageUrl;
    QString DownloadBaseUrl;
};

// Built-in addresses, then "WWW"/"FTP" of section "WEB" of the LOTO6 file,
// then of the Mini LOTO file.
LinkTable LoadWebSettings(const GameTableType &games);

// Only http and https addresses are ever opened or fetched.
bool IsWebAddress(const QUrl &url);
