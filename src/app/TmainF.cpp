#include "app/TmainF.h"

TmainF::TmainF(Prompts &prompts, const QString &exefolder, QWidget *parent)
    : QMainWindow(parent), prompts(prompts), exefolder(exefolder)
{
}
