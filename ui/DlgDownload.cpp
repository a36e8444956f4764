#include "ui/DlgDownload.h"

DlgDownload::DlgDownload(Form1 &main, QWidget *parent) : QDialog(parent), m_main(main)
{
    setObjectName(QStringLiteral("DlgDownload"));
}
