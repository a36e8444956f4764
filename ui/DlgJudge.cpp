#include "ui/DlgJudge.h"

DlgJudge::DlgJudge(Form1 &main, QWidget *parent) : QDialog(parent), m_main(main)
{
    setObjectName(QStringLiteral("DlgJudge"));
}
