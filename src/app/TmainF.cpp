#include "app/TmainF.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/PictureView.h"
#include "app/Settings.h"
#include "app/StartPicture.h"
#include "files/MYcustomhistory.h"
#include "files/PictureFiles.h"
#include "files/Printing.h"
#include "files/pathhelpers.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/ProfileFile.h"
#include "platform/Prompts.h"

namespace {

const QString pictureFilter = QStringLiteral("JPG files (*.jpg)|*.JPG|Bitmap files (*.bmp)|*.bmp");
const QString selectionModeText = QStringLiteral(
    "You are in Selection mode. Select part of image first, then go to the menu and choose "
    "selection ...");
const QString quickModeText = QStringLiteral(
    "You are in quick marking mode. It will mark immediately after selecting part of an image!");

// A pasted picture shows as it would on a white background: transparent parts never
// turn black. The result has the display's format.
QImage onWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage result(image.size(), QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    return result;
}

} // namespace

TmainF::TmainF(Prompts &prompts, Printer &printer, const QString &executablePath, QWidget *parent)
    : QMainWindow(parent), prompts(prompts), printer(printer),
      exePath(QDir::toNativeSeparators(executablePath))
{
    setObjectName(QStringLiteral("mainF"));
    buildControls();
    buildMenus();
    buildPopupMenu();
    doc.setPicture(Picture(startPicture()));
    Image1->setSource(&doc.picture().image());
    FormCreate();
}

TmainF::~TmainF() = default;

std::function<void()> TmainF::command(void (TmainF::*handler)())
{
    return [this, handler] { runCommand(prompts, [this, handler] { (this->*handler)(); }); };
}

void TmainF::buildControls()
{
    resize(1152, 786);
    setWindowTitle(QStringLiteral("Quillet"));
    // The panel's fixed places are laid out for a small 11-pixel font.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(50);
    BitBtnWithColor1 = new QPushButton(QStringLiteral("Go to &selection mode"), Panel1);
    BitBtnWithColor1->setObjectName(QStringLiteral("BitBtnWithColor1"));
    BitBtnWithColor1->setGeometry(8, 8, 145, 33);
    BitBtnWithColor1->setToolTip(QStringLiteral("Toggle 'selection' <-> 'quick marking' mode"));
    BitBtnWithColor1->setFocusPolicy(Qt::NoFocus);
    connect(BitBtnWithColor1, &QPushButton::clicked, this, command(&TmainF::selectionmodeMIClick));
    setcolB = new QPushButton(QStringLiteral("-->"), Panel1);
    setcolB->setObjectName(QStringLiteral("setcolB"));
    setcolB->setGeometry(160, 16, 25, 25);
    setcolB->setToolTip(QStringLiteral("Set default mark color"));
    setcolB->setFocusPolicy(Qt::NoFocus);
    markcolP = new QFrame(Panel1);
    markcolP->setObjectName(QStringLiteral("markcolP"));
    markcolP->setGeometry(192, 19, 22, 21);
    markcolP->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    markcolP->setAutoFillBackground(true);
    layout->addWidget(Panel1);

    ScrollBox1 = new QScrollArea(central);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    Image1 = new PictureView;
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setWidget(Image1);
    layout->addWidget(ScrollBox1, 1);
    setCentralWidget(central);

    connect(Image1, &PictureView::pressed, this,
        [this](QPoint p) { runCommand(prompts, [this, p] { Image1MouseDown(p); }); });
    connect(Image1, &PictureView::moved, this,
        [this](QPoint p) { runCommand(prompts, [this, p] { Image1MouseMove(p); }); });
    connect(Image1, &PictureView::released, this,
        [this](QPoint p) { runCommand(prompts, [this, p] { Image1MouseUp(p); }); });
    connect(Image1, &PictureView::contextMenuRequested, this,
        [this](QPoint global) { PopupMenu1->popup(global); });

    stb = new QLabel(this);
    stb->setObjectName(QStringLiteral("stb"));
    statusBar()->addWidget(stb, 1);
    statusBar()->setSizeGripEnabled(false);
}

QAction *TmainF::addCommand(QMenu *menu, const QString &name, const QString &caption,
    const QString &shortcut, void (TmainF::*handler)())
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(QKeySequence(shortcut));
    if (handler)
        connect(action, &QAction::triggered, this, command(handler));
    return action;
}

void TmainF::buildMenus()
{
    QMenu *File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    OpenMI = File1->addMenu(QStringLiteral("Open..."));
    OpenMI->setObjectName(QStringLiteral("OpenMI"));
    addCommand(OpenMI, QStringLiteral("OpenBrowseMI"), QStringLiteral("Browse..."), {},
        &TmainF::OpenBrowseMIClick);
    OpenMI->addSeparator();
    addCommand(File1, QStringLiteral("Saveas1"), QStringLiteral("Save as..."),
        QStringLiteral("Ctrl+S"), &TmainF::Saveas1Click);
    File1->addSeparator();
    addCommand(File1, QStringLiteral("SaveMI"), QStringLiteral("Save"), QStringLiteral("S"),
        &TmainF::SaveMIClick);
    File1->addSeparator();
    addCommand(File1, QStringLiteral("PrintMI"), QStringLiteral("Print..."),
        QStringLiteral("Ctrl+P"), &TmainF::PrintMIClick);

    QMenu *EditMI = menuBar()->addMenu(QStringLiteral("&Edit"));
    EditMI->setObjectName(QStringLiteral("EditMI"));
    addCommand(EditMI, QStringLiteral("pasteMI"), QStringLiteral("P&aste"),
        QStringLiteral("Ctrl+V"), &TmainF::pasteMIClick);
    EditMI->addSeparator();
    addCommand(EditMI, QStringLiteral("DeleteCleardisplay1"),
        QStringLiteral("Delete (Clear display)"), QStringLiteral("D"),
        &TmainF::DeleteCleardisplay1Click);
    EditMI->addSeparator();
    addCommand(EditMI, QStringLiteral("Undo1"), QStringLiteral("Undo"), QStringLiteral("Ctrl+Z"),
        &TmainF::Undo1Click);

    SelectionMI = menuBar()->addMenu(QStringLiteral("&Selection"));
    SelectionMI->setObjectName(QStringLiteral("SelectionMI"));
    addCommand(SelectionMI, QStringLiteral("CropMI"), QStringLiteral("Crop"),
        QStringLiteral("Ctrl+Y"), &TmainF::CropMIClick);
    addCommand(SelectionMI, QStringLiteral("MarkMI"), QStringLiteral("Mark!"), QStringLiteral("M"),
        &TmainF::MarkMIClick);
    addCommand(SelectionMI, QStringLiteral("Copy2"), QStringLiteral("Copy"),
        QStringLiteral("Ctrl+C"), &TmainF::SelectionCopyClick);

    QMenu *Options1 = menuBar()->addMenu(QStringLiteral("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    selectionmodeMI = addCommand(Options1, QStringLiteral("selectionmodeMI"),
        QStringLiteral("Selection mode"), {}, &TmainF::selectionmodeMIClick);
    selectionmodeMI->setCheckable(true);

    QAction *Exit1 = menuBar()->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
}

void TmainF::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    addCommand(
        PopupMenu1, QStringLiteral("Copy1"), QStringLiteral("Copy"), {}, &TmainF::Copy1Click);
    PopupMenu1->addSeparator();
    // The keys Ctrl+V and D belong to the Edit menu; here they are only shown.
    addCommand(PopupMenu1, QStringLiteral("Paste1"), QStringLiteral("Paste\tCtrl+V"), {},
        &TmainF::pasteMIClick);
    PopupMenu1->addSeparator();
    addCommand(PopupMenu1, QStringLiteral("Clear1"), QStringLiteral("Delete (Clear display)\tD"),
        {}, &TmainF::Clear1Click);
    PopupMenu1->addSeparator();
    addCommand(PopupMenu1, QStringLiteral("Setstandardstartimage1"),
        QStringLiteral("Set standard start image..."), {}, &TmainF::Setstandardstartimage1Click);
}

void TmainF::FormCreate()
{
    const QFileInfo executable(exePath);
    exefolder = QDir::toNativeSeparators(executable.absolutePath());
    if (!exefolder.endsWith(QDir::separator()))
        exefolder += QDir::separator();

    OPH = new TMYcustomhistory(prompts, exefolder, this);
    OPH->setMenuitem(OpenMI);
    OPH->setHistname(QStringLiteral("quilletfiles.his"));
    OPH->setMaxhistname(QStringLiteral("quilletmax.his"));
    OPH->setMaxitemlenname(QStringLiteral("quilletmaxlen.his"));
    OPH->setEnabled(true);
    OPH->Onitemclicked = [this](TMYcustomhistory *, const QString &path) {
        runCommand(prompts, [this, path] { OPHitemclicked(path); });
    };
    runCommand(prompts, [this] { OPH->loadhistory(); });

    const Settings settings = readSettings(ProfileFile(settingsFilePath(exePath)));
    saveLocation = settings.save.isEmpty() ? exefolder : settings.save;
    nobackslash(saveLocation);
    currentFile = joinPath(saveLocation, QStringLiteral("MyTmpImage.jpg"));
    setTitle(currentFile);

    selectionModeOn = settings.selectionmode;
    selectionmodeMI->setChecked(selectionModeOn);
    setSelectionMenuEnabled(selectionModeOn);
    markColor = settings.markcol;
    setSwatchColor(markColor);
    screenDpi = QSize(logicalDpiX(), logicalDpiY());
}

void TmainF::FormClose()
{
    ProfileFile file(settingsFilePath(exePath));
    writeSettings(file, Settings { saveLocation, selectionModeOn, markColor });
}

void TmainF::closeEvent(QCloseEvent *event)
{
    // A settings file that cannot be written is reported, and the window closes all the same:
    // keeping it open would not make the file writable.
    runCommand(prompts, [this] { FormClose(); });
    event->accept();
}

void TmainF::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyMode();
}

QString TmainF::statusText() const
{
    return stb->text();
}

void TmainF::setStatus(const QString &text)
{
    stb->setText(text);
}

void TmainF::setTitle(const QString &path)
{
    setWindowTitle(QStringLiteral("Quillet - ") + path);
}

void TmainF::setSwatchColor(QRgb color)
{
    swatchColor = qRgb(qRed(color), qGreen(color), qBlue(color));
    QPalette palette = markcolP->palette();
    palette.setColor(QPalette::Window, QColor(swatchColor));
    markcolP->setPalette(palette);
}

void TmainF::setSelectionMenuEnabled(bool enabled)
{
    // A disabled menu does not stop its items' shortcuts in Qt, so the items follow it.
    SelectionMI->menuAction()->setEnabled(enabled);
    for (QAction *action : SelectionMI->actions())
        action->setEnabled(enabled);
}

void TmainF::applyMode()
{
    selectionmodeMI->setChecked(selectionModeOn);
    setSelectionMenuEnabled(selectionModeOn);
    BitBtnWithColor1->setText(selectionModeOn ? QStringLiteral("Go to &quick marking mode")
                                              : QStringLiteral("Go to &selection mode"));
    setStatus(selectionModeOn ? selectionModeText : quickModeText);
}

void TmainF::selectionmodeMIClick()
{
    selectionModeOn = !selectionModeOn;
    applyMode();
}

void TmainF::pictureChanged()
{
    Image1->pictureChanged();
}

void TmainF::Image1MouseDown(QPoint p)
{
    doc.mouseDown(p, Image1->pictureSize());
    pictureChanged();
}

void TmainF::Image1MouseMove(QPoint p)
{
    if (!doc.dragging())
        return;
    doc.mouseMove(p);
    Image1->update();
}

void TmainF::Image1MouseUp(QPoint p)
{
    const bool finished = doc.mouseUp(p);
    pictureChanged();
    if (finished && !selectionModeOn)
        MarkMIClick();
}

void TmainF::MarkMIClick()
{
    if (!selectionModeOn)
        markColor = swatchColor;
    const bool marked = doc.mark(markColor, selectionModeOn);
    pictureChanged();
    if (!marked)
        errormsg(prompts,
            QStringLiteral("Nothing selected. Select the region you want to mark with "
                           "the left mouse button."));
}

void TmainF::CropMIClick()
{
    const bool cropped = doc.crop();
    pictureChanged();
    if (!cropped)
        errormsg(prompts,
            QStringLiteral("Nothing selected. Select the region you want to keep with "
                           "the left mouse button."));
}

void TmainF::SelectionCopyClick()
{
    // The Selection menu's Copy puts the selected rectangle, as Crop would keep it and without
    // the dotted outline, on the clipboard; the picture and the selection stay as they are.
    if (!doc.selpresent()) {
        errormsg(prompts,
            QStringLiteral("Nothing selected. Select the region you want to copy "
                           "with the left mouse button."));
        return;
    }
    const QImage block = doc.selectionImage();
    if (!block.isNull()) // a click selects no pixels: the clipboard keeps what it had
        QApplication::clipboard()->setImage(block);
}

void TmainF::Copy1Click()
{
    if (!doc.picture().hasPixels())
        throw Failure(QStringLiteral("There is no picture to copy"));
    QApplication::clipboard()->setImage(doc.picture().image());
}

void TmainF::pasteMIClick()
{
    const QImage pasted = QApplication::clipboard()->image();
    if (pasted.isNull())
        return;
    doc.setPicture(Picture(onWhite(pasted)));
    pictureChanged();
}

void TmainF::DeleteCleardisplay1Click()
{
    doc.clearToEmpty();
    pictureChanged();
}

void TmainF::Clear1Click()
{
    doc.clearToWhite(Image1->pictureSize());
    pictureChanged();
}

void TmainF::Undo1Click()
{
    doc.undo();
    pictureChanged();
}

void TmainF::Setstandardstartimage1Click()
{
    // Brings back the built-in start picture, as a paste would: no undo picture is taken.
    doc.setPicture(Picture(startPicture()));
    pictureChanged();
}

void TmainF::openPicture(const QString &path)
{
    doc.setPicture(fname2bmpimage(path));
    currentFile = path;
    setTitle(currentFile);
    doc.takeUndo();
    pictureChanged();
}

void TmainF::OpenBrowseMIClick()
{
    const auto chosen = prompts.openPicture(
        { QStringLiteral("Open"), pictureFilter, openFilterIndex, saveLocation, QString() });
    if (!chosen)
        return;
    openFilterIndex = chosen->filterIndex;
    OPH->additem(chosen->path);
    openPicture(chosen->path);
}

void TmainF::OPHitemclicked(const QString &path)
{
    openPicture(path);
}

void TmainF::saveGuarded(const std::function<void()> &save)
{
    try {
        save();
    } catch (...) {
        errormsg(prompts, QStringLiteral("Could not save. Choose other file name or path."));
        setStatus(QStringLiteral("NOT Saved"));
    }
}

void TmainF::Saveas1Click()
{
    const auto chosen = prompts.savePicture({ QStringLiteral("Save as"), pictureFilter,
        saveFilterIndex, saveLocation, QFileInfo(currentFile).fileName() });
    if (!chosen)
        return;
    saveFilterIndex = chosen->filterIndex;
    QString name = chosen->path;
    saveGuarded([&] {
        if (bmpimage2fname(doc.picture(), name, saveFilterIndex) == SavedAs::Jpeg)
            setStatus(QStringLiteral("Saved to ") + name);
        OPH->additem(name);
        setTitle(name);
    });
}

void TmainF::SaveMIClick()
{
    saveGuarded([&] {
        if (bmpimage2fname(doc.picture(), currentFile, saveFilterIndex) == SavedAs::Jpeg)
            setStatus(QStringLiteral("Saved to ") + currentFile);
    });
}

void TmainF::PrintMIClick()
{
    printPicture(prompts, printer, doc.picture(), screenDpi);
}
