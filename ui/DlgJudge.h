#pragma once

#include <QDialog>

class Form1;

class DlgJudge : public QDialog
{
    Q_OBJECT
public:
    explicit DlgJudge(Form1 &main, QWidget *parent = nullptr);

private:
    Form1 &m_main;
};
