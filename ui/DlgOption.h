#pragma once

#include <QDialog>

class Form1;

class DlgOption : public QDialog
{
    Q_OBJECT
public:
    explicit DlgOption(Form1 &main, QWidget *parent = nullptr);

private:
    Form1 &m_main;
};
