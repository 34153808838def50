#include "app/TmainF.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/PastedPicture.h"
#include "app/PictureDrop.h"
#include "app/PictureView.h"
#include "app/PictureZoom.h"
#include "app/Settings.h"
#include "app/ShortcutMenuKeys.h"
#include "app/StartPicture.h"
#include "app/TMYcustomhistory.h"
#include "files/PictureMimeData.h"
#include "files/Printing.h"
#include "files/pathhelpers.h"
#include "location/TLocxxxF.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/ProfileFile.h"
#include "platform/Prompts.h"
#include "widgets/TAboutF.h"
#include "widgets/TBitBtnWithColor.h"

namespace {

const QString selectionModeText = QStringLiteral(
    "You are in Selection mode. Select part of image first, then go to the menu and choose "
    "selection ...");
const QString quickModeText = QStringLiteral(
    "You are in quick marking mode. It will mark immediately after selecting part of an image!");

} // namespace

TmainF::TmainF(Prompts &prompts, PrinterSource printer, const QString &executablePath,
    const QString &defaultSaveFolder, QWidget *parent)
    : QMainWindow(parent), prompts(prompts), printer(std::move(printer)),
      exePath(QDir::toNativeSeparators(executablePath)), defaultSave(defaultSaveFolder)
{
    setObjectName(QStringLiteral("mainF"));
    setAcceptDrops(true);
    buildControls();
    menus = MainMenus::build(*this, [this](MainMenus::Handler h) { return command(h); });
    addShortcutMenuKeys(*this, *ScrollBox1, *menus.PopupMenu1);
    doc.setPicture(Picture(startPicture()));
    Image1->setDocument(&doc);
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
    BitBtnWithColor1 = new TBitBtnWithColor(QStringLiteral("Go to &selection mode"), Panel1);
    BitBtnWithColor1->setObjectName(QStringLiteral("BitBtnWithColor1"));
    BitBtnWithColor1->setGeometry(8, 8, 145, 33);
    BitBtnWithColor1->setToolTip(QStringLiteral("Toggle 'selection' <-> 'quick marking' mode"));
    BitBtnWithColor1->setFocusPolicy(Qt::NoFocus);
    connect(BitBtnWithColor1, &QPushButton::clicked, this, command(&TmainF::selectionmodeMIClick));
    colors = std::make_unique<MarkColorPanel>(prompts, Panel1);
    connect(colors.get(), &MarkColorPanel::chooseClicked, this, command(&TmainF::setcolBClick));
    connect(colors.get(), &MarkColorPanel::swatchClicked, this, command(&TmainF::markcolPClick));
    connect(colors.get(), &MarkColorPanel::gridPicked, this,
        [this](std::optional<QRgb> picked) { runCommand(prompts, [&] { cgClick(picked); }); });
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
        [this](QPoint global) { menus.PopupMenu1->popup(global); });

    stb = new QLabel(this);
    stb->setObjectName(QStringLiteral("stb"));
    statusBar()->addWidget(stb, 1);
    statusBar()->setSizeGripEnabled(false);
    zoom = new PictureZoom(*this, *ScrollBox1, *Image1);
}

void TmainF::FormCreate()
{
    const QFileInfo executable(exePath);
    QString exefolder = QDir::toNativeSeparators(executable.absolutePath());
    if (!exefolder.endsWith(QDir::separator()))
        exefolder += QDir::separator();

    OPH = new TMYcustomhistory(prompts, exefolder, this);
    OPH->setMenuitem(menus.OpenMI);
    OPH->setHistname(QStringLiteral("quilletfiles.his"));
    OPH->setMaxhistname(QStringLiteral("quilletmax.his"));
    OPH->setMaxitemlenname(QStringLiteral("quilletmaxlen.his"));
    OPH->setEnabled(true);
    OPH->Onitemclicked = [this](TMYcustomhistory *, const QString &path) {
        runCommand(prompts, [this, path] { OPHitemclicked(path); });
    };
    runCommand(prompts, [this] { OPH->loadhistory(); });

    session = new FileSession(prompts, OPH->list(), this);
    connect(session, &FileSession::titleChanged, this, &TmainF::setTitle);
    connect(session, &FileSession::statusChanged, this, &TmainF::setStatus);
    const Settings settings = readSettings(ProfileFile(settingsFilePath(exePath)));
    session->start(exefolder, settings.save.isEmpty() ? defaultSave : settings.save);
    if (settings.keepStoredSave)
        unreadableSave = session->savelocation();

    selectionModeOn = settings.selectionmode;
    menus.showMode(selectionModeOn);
    markColor = settings.markcol;
    colors->setSwatchColor(markColor);
    colors->rememberGridIndices();
    screenDpi = QSize(logicalDpiX(), logicalDpiY());
}

void TmainF::FormClose()
{
    ProfileFile file(settingsFilePath(exePath));
    const QString save = session->savelocation();
    writeSettings(file, Settings { save, selectionModeOn, markColor, unreadableSave == save });
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

void TmainF::applyMode()
{
    menus.showMode(selectionModeOn);
    BitBtnWithColor1->setText(selectionModeOn ? QStringLiteral("Go to &quick marking mode")
                                              : QStringLiteral("Go to &selection mode"));
    setStatus(selectionModeOn ? selectionModeText : quickModeText);
}

void TmainF::selectionmodeMIClick()
{
    selectionModeOn = !selectionModeOn;
    applyMode();
}

void TmainF::Image1MouseDown(QPoint p)
{
    doc.mouseDown(p, Image1->pictureSize());
}

void TmainF::Image1MouseMove(QPoint p)
{
    if (doc.dragging())
        doc.mouseMove(p);
}

void TmainF::Image1MouseUp(QPoint p)
{
    const bool finished = doc.mouseUp(p);
    if (finished && !selectionModeOn)
        MarkMIClick();
}

void TmainF::MarkMIClick()
{
    if (!selectionModeOn)
        markColor = colors->swatchColor();
    if (!doc.mark(markColor, selectionModeOn))
        errormsg(prompts,
            QStringLiteral("Nothing selected. Select the region you want to mark with "
                           "the left mouse button."));
}

void TmainF::CropMIClick()
{
    if (!doc.crop())
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
        QApplication::clipboard()->setMimeData(new PictureMimeData(block));
}

void TmainF::Copy1Click()
{
    if (!doc.picture().hasPixels())
        throw Failure(QStringLiteral("There is no picture to copy"));
    QApplication::clipboard()->setMimeData(new PictureMimeData(doc.picture().image()));
}

void TmainF::pasteMIClick()
{
    if (auto pasted = clipboardPicture())
        doc.setPicture(std::move(*pasted));
}

void TmainF::DeleteCleardisplay1Click()
{
    doc.clearToEmpty();
}

void TmainF::Clear1Click()
{
    doc.clearToWhite(Image1->pictureSize());
}

void TmainF::Undo1Click()
{
    doc.undo();
}

void TmainF::Setstandardstartimage1Click()
{
    // Brings back the built-in start picture, as a paste would: no undo picture is taken.
    doc.setPicture(Picture(startPicture()));
}

void TmainF::showOpened(Picture picture)
{
    doc.setPicture(std::move(picture));
    doc.takeUndo();
}

void TmainF::openFromOutside(const QString &path)
{
    runCommand(prompts, [this, path] { showOpened(session->openChosen(path)); });
}

void TmainF::OpenBrowseMIClick()
{
    if (auto picture = session->browse())
        showOpened(std::move(*picture));
}

void TmainF::OPHitemclicked(const QString &path)
{
    showOpened(session->open(path));
}

void TmainF::Saveas1Click()
{
    session->saveAs(doc.picture());
}

void TmainF::SaveMIClick()
{
    session->save(doc.picture());
}

void TmainF::PrintMIClick()
{
    printPicture(prompts, printer(), doc.picture(), screenDpi);
}

void TmainF::setcolBClick()
{
    if (const auto chosen = colors->chooseColor())
        markColor = *chosen;
}

void TmainF::Markcolor1Click()
{
    setcolBClick();
}

void TmainF::markcolPClick()
{
    if (!selectionModeOn)
        return;
    markColor = colors->swatchColor();
    MarkMIClick();
}

void TmainF::cgClick(std::optional<QRgb> picked)
{
    markColor = picked.value_or(markColor);
    // In quick marking mode the swatch takes the colour; in selection mode it marks at once.
    if (!selectionModeOn)
        colors->setSwatchColor(markColor);
    else
        MarkMIClick();
}

void TmainF::AboutMIClick()
{
    if (aboutBox)
        prompts.runDialog(*aboutBox);
}

void TmainF::DefaultsavetoMIClick()
{
    if (!locationDialog)
        return;
    locationDialog->setWindowTitle(QStringLiteral("Give Default destination to save to."));
    locationDialog->locationEdit()->setText(session->savelocation());
    if (prompts.runDialog(*locationDialog) != QDialog::Accepted)
        return;
    const QString chosen = locationDialog->resultLabel()->text();
    if (chosen.isEmpty())
        return;
    // The open and save dialogs start there from now on; the settings keep it at close.
    session->setSavelocation(chosen);
    setStatus(QStringLiteral("Default location to save to: ") + chosen);
}

void TmainF::dragEnterEvent(QDragEnterEvent *event)
{
    PictureDrop::acceptCopy(*event);
}

void TmainF::dragMoveEvent(QDragMoveEvent *event)
{
    PictureDrop::acceptCopy(*event);
}

void TmainF::dropEvent(QDropEvent *event)
{
    // Handled once the drop is answered: a message box inside it would keep the other program
    // waiting for that answer.
    if (const auto dropped = PictureDrop::take(*event))
        QMetaObject::invokeMethod(
            this, [this, d = *dropped] { runCommand(prompts, [&] { FormDragDrop(d); }); },
            Qt::QueuedConnection);
}

void TmainF::FormDragDrop(const PictureDrop &dropped)
{
    if (dropped.file.isEmpty())
        doc.setPicture(dropped.picture());
    else
        showOpened(session->openChosen(dropped.file));
}
