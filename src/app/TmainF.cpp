#include "app/TmainF.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/ColorSwatch.h"
#include "app/PastedPicture.h"
#include "app/PictureView.h"
#include "app/Settings.h"
#include "app/StartPicture.h"
#include "files/FileSession.h"
#include "files/Printing.h"
#include "files/TMYcustomhistory.h"
#include "files/pathhelpers.h"
#include "location/TLocxxxF.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/ProfileFile.h"
#include "platform/Prompts.h"
#include "widgets/ColorNames.h"
#include "widgets/TAboutF.h"
#include "widgets/TBitBtnWithColor.h"
#include "widgets/TColorGrid.h"

namespace {

const QString selectionModeText = QStringLiteral(
    "You are in Selection mode. Select part of image first, then go to the menu and choose "
    "selection ...");
const QString quickModeText = QStringLiteral(
    "You are in quick marking mode. It will mark immediately after selecting part of an image!");

// The window's menus: the main menu's, the "Open..." submenu and the picture's shortcut menu.
struct MenuEntry {
    const char *name;
    const char *caption;
    const char *parent; // "" for the main menu; nullptr for a shortcut menu of its own
};

const MenuEntry menuEntries[] = {
    { "File1", "&File", "" },
    { "OpenMI", "Open...", "File1" },
    { "EditMI", "&Edit", "" },
    { "SelectionMI", "&Selection", "" },
    { "Options1", "&Options", "" },
    { "HelpMI", "&Help", "" },
    { "PopupMenu1", "", nullptr },
};

// One item of a menu: a separator where the name is empty; a top-level item of the main menu
// where the menu is empty.
struct ItemEntry {
    const char *menu;
    const char *name;
    const char *caption;
    const char *shortcut;
    void (TmainF::*handler)();
};

const ItemEntry itemEntries[] = {
    { "OpenMI", "OpenBrowseMI", "Browse...", "", &TmainF::OpenBrowseMIClick },
    { "OpenMI", "", "", "", nullptr },
    { "File1", "Saveas1", "Save as...", "Ctrl+S", &TmainF::Saveas1Click },
    { "File1", "", "", "", nullptr },
    { "File1", "SaveMI", "Save", "S", &TmainF::SaveMIClick },
    { "File1", "", "", "", nullptr },
    { "File1", "PrintMI", "Print...", "Ctrl+P", &TmainF::PrintMIClick },
    { "EditMI", "pasteMI", "P&aste", "Ctrl+V", &TmainF::pasteMIClick },
    { "EditMI", "", "", "", nullptr },
    { "EditMI", "DeleteCleardisplay1", "Delete (Clear display)", "D",
        &TmainF::DeleteCleardisplay1Click },
    { "EditMI", "", "", "", nullptr },
    { "EditMI", "Undo1", "Undo", "Ctrl+Z", &TmainF::Undo1Click },
    { "SelectionMI", "CropMI", "Crop", "Ctrl+Y", &TmainF::CropMIClick },
    { "SelectionMI", "MarkMI", "Mark!", "M", &TmainF::MarkMIClick },
    { "SelectionMI", "Copy2", "Copy", "Ctrl+C", &TmainF::SelectionCopyClick },
    { "Options1", "Markcolor1", "Mark color...", "", &TmainF::Markcolor1Click },
    { "Options1", "DefaultsavetoMI", "Default &save to...", "", &TmainF::DefaultsavetoMIClick },
    { "Options1", "selectionmodeMI", "Selection mode", "", &TmainF::selectionmodeMIClick },
    { "HelpMI", "AboutMI", "&About", "", &TmainF::AboutMIClick },
    { "", "Exit1", "E&xit", "", &TmainF::Exit1Click },
    { "PopupMenu1", "Copy1", "Copy", "", &TmainF::Copy1Click },
    { "PopupMenu1", "", "", "", nullptr },
    // The keys Ctrl+V and D belong to the Edit menu; here they are only shown.
    { "PopupMenu1", "Paste1", "Paste\tCtrl+V", "", &TmainF::pasteMIClick },
    { "PopupMenu1", "", "", "", nullptr },
    { "PopupMenu1", "Clear1", "Delete (Clear display)\tD", "", &TmainF::Clear1Click },
    { "PopupMenu1", "", "", "", nullptr },
    { "PopupMenu1", "Setstandardstartimage1", "Set standard start image...", "",
        &TmainF::Setstandardstartimage1Click },
};

} // namespace

TmainF::TmainF(Prompts &prompts, PrinterSource printer, const QString &executablePath,
    const QString &defaultSaveFolder, QWidget *parent)
    : QMainWindow(parent), prompts(prompts), printer(std::move(printer)),
      exePath(QDir::toNativeSeparators(executablePath)), defaultSave(defaultSaveFolder)
{
    setObjectName(QStringLiteral("mainF"));
    buildControls();
    buildMenus();
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
    buildMarkColorControls();
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

// The "-->" button, the swatch and the colour grid, right of the mode button.
void TmainF::buildMarkColorControls()
{
    setcolB = new TBitBtnWithColor(QStringLiteral("-->"), Panel1);
    setcolB->setObjectName(QStringLiteral("setcolB"));
    setcolB->setGeometry(160, 16, 25, 25);
    setcolB->setToolTip(QStringLiteral("Set default mark color"));
    setcolB->setFocusPolicy(Qt::NoFocus);
    connect(setcolB, &QPushButton::clicked, this, command(&TmainF::setcolBClick));

    markcolP = new ColorSwatch(Panel1);
    markcolP->setObjectName(QStringLiteral("markcolP"));
    markcolP->setGeometry(192, 19, 22, 21);
    connect(markcolP, &ColorSwatch::clicked, this, command(&TmainF::markcolPClick));

    cg = new TColorGrid(Panel1);
    cg->setObjectName(QStringLiteral("cg"));
    cg->setClickEnablesColor(true);
    cg->setGridOrdering(TGridOrdering::go8x2);
    cg->setForegroundEnabled(false);
    cg->setBackgroundEnabled(false);
    cg->setGeometry(220, 4, 200, 42);
    // Never shown: hints are on for the two buttons only; screen readers still read it.
    cg->setAccessibleDescription(QStringLiteral("Choose color with right click"));
    // Tab reaches the grid, whose keys pick colours; a click leaves the focus where it was.
    cg->setFocusPolicy(Qt::TabFocus);
    connect(cg, &TColorGrid::clicked, this, command(&TmainF::cgClick));
}

void TmainF::buildMenus()
{
    QHash<QString, QMenu *> menus;
    for (const MenuEntry &entry : menuEntries) {
        const QString caption = QString::fromUtf8(entry.caption);
        QMenu *menu = !entry.parent ? new QMenu(this)
            : *entry.parent         ? menus.value(QString::fromUtf8(entry.parent))->addMenu(caption)
                                    : menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromUtf8(entry.name));
        menus.insert(menu->objectName(), menu);
    }
    for (const ItemEntry &entry : itemEntries) {
        QMenu *menu = menus.value(QString::fromUtf8(entry.menu));
        if (!*entry.name) {
            menu->addSeparator();
            continue;
        }
        const QString caption = QString::fromUtf8(entry.caption);
        QAction *action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(QString::fromUtf8(entry.name));
        action->setShortcut(QKeySequence(QString::fromUtf8(entry.shortcut)));
        connect(action, &QAction::triggered, this, command(entry.handler));
    }
    OpenMI = menus.value(QStringLiteral("OpenMI"));
    SelectionMI = menus.value(QStringLiteral("SelectionMI"));
    PopupMenu1 = menus.value(QStringLiteral("PopupMenu1"));
    selectionmodeMI = findChild<QAction *>(QStringLiteral("selectionmodeMI"));
    selectionmodeMI->setCheckable(true);
}

void TmainF::FormCreate()
{
    const QFileInfo executable(exePath);
    QString exefolder = QDir::toNativeSeparators(executable.absolutePath());
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

    session = new FileSession(prompts, *OPH, this);
    connect(session, &FileSession::titleChanged, this, &TmainF::setTitle);
    connect(session, &FileSession::statusChanged, this, &TmainF::setStatus);
    const Settings settings = readSettings(ProfileFile(settingsFilePath(exePath)));
    session->start(exefolder, settings.save.isEmpty() ? defaultSave : settings.save);

    selectionModeOn = settings.selectionmode;
    selectionmodeMI->setChecked(selectionModeOn);
    setSelectionMenuEnabled(selectionModeOn);
    markColor = settings.markcol;
    setSwatchColor(markColor);
    lastfgindex = cg->ForegroundIndex();
    lastbgindex = cg->BackgroundIndex();
    screenDpi = QSize(logicalDpiX(), logicalDpiY());
}

void TmainF::FormClose()
{
    ProfileFile file(settingsFilePath(exePath));
    writeSettings(file, Settings { session->savelocation(), selectionModeOn, markColor });
}

void TmainF::closeEvent(QCloseEvent *event)
{
    // A settings file that cannot be written is reported, and the window closes all the same:
    // keeping it open would not make the file writable.
    runCommand(prompts, [this] { FormClose(); });
    event->accept();
}

void TmainF::Exit1Click()
{
    close();
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

QString TmainF::currentfilename() const
{
    return session->currentfilename();
}

QString TmainF::savelocation() const
{
    return session->savelocation();
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
    markcolP->setColor(color);
    swatchColor = markcolP->color();
    markcolP->setAccessibleName(
        QStringLiteral("Mark color: %1").arg(colorAccessibleName(QColor(swatchColor))));
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

void TmainF::Image1MouseDown(QPoint p)
{
    doc.mouseDown(p, Image1->pictureSize());
}

void TmainF::Image1MouseMove(QPoint p)
{
    if (!doc.dragging())
        return;
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
        markColor = swatchColor;
    const bool marked = doc.mark(markColor, selectionModeOn);
    if (!marked)
        errormsg(prompts,
            QStringLiteral("Nothing selected. Select the region you want to mark with "
                           "the left mouse button."));
}

void TmainF::CropMIClick()
{
    const bool cropped = doc.crop();
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
    doc.setPicture(pastedPicture(pasted));
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
    const auto chosen = prompts.chooseColor(lastDialogColor);
    if (!chosen)
        return;
    lastDialogColor = *chosen;
    markColor = chosen->rgb();
    setSwatchColor(markColor);
}

void TmainF::Markcolor1Click()
{
    setcolBClick();
}

void TmainF::markcolPClick()
{
    if (!selectionModeOn)
        return;
    markColor = swatchColor;
    MarkMIClick();
}

void TmainF::cgClick()
{
    // Both indices are looked at; when both changed, the foreground's colour wins.
    if (cg->BackgroundIndex() != lastbgindex) {
        lastbgindex = cg->BackgroundIndex();
        markColor = cg->BackgroundCellColor().rgb();
    }
    if (cg->ForegroundIndex() != lastfgindex) {
        lastfgindex = cg->ForegroundIndex();
        markColor = cg->ForegroundCellColor().rgb();
    }
    if (!selectionModeOn)
        setSwatchColor(markColor);
    cg->setForegroundEnabled(false);
    cg->setBackgroundEnabled(false);
    if (selectionModeOn)
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
