#include "ui/DlgOption.h"

DlgOption::DlgOption(Form1 &main, QWidget *parent) : QDialog(parent), m_main(main)
{
    setObjectName(QStringLiteral("DlgOption"));
}
