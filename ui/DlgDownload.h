#pragma once

#include <QDialog>

class Form1;

class DlgDownload : public QDialog
{
    Q_OBJECT
public:
    explicit DlgDownload(Form1 &main, QWidget *parent = nullptr);

private:
    Form1 &m_main;
};
