#pragma once

#include <QMainWindow>

class Prompts;

class TmainF : public QMainWindow {
    Q_OBJECT

public:
    TmainF(Prompts &prompts, const QString &exefolder, QWidget *parent = nullptr);

private:
    Prompts &prompts;
    QString exefolder;
};
