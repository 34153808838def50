#include "widgets/TAboutF.h"

#include <QAction>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "platform/Command.h"
#include "platform/FileDates.h"
#include "widgets/AboutText.h"
#include "widgets/EscClose.h"

namespace {

// Pixel sizes, so the box looks as laid out whatever the screen's text scaling.
QFont fontOf(const QStringList &families, int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

const QString versionText = QStringLiteral("Version " QUILLET_VERSION);

// Arial and Courier New where installed, else their metric twins from Liberation.
QStringList sansFamilies()
{
    return { QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
        QStringLiteral("DejaVu Sans") };
}

QStringList monoFamilies()
{
    return { QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
        QStringLiteral("DejaVu Sans Mono") };
}

} // namespace

TAboutF::TAboutF(Prompts &prompts, const QString &dataFolder, QWidget *parent)
    : KeyPreviewDialog(prompts, parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dataFolder(dataFolder)
{
    setObjectName(QStringLiteral("AboutF"));
    setWindowTitle(QStringLiteral("About..."));
    setFixedSize(481, 298);
    setFont(fontOf(sansFamilies(), 11));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    // The hidden menu's command: an action of the window itself, which no menu shows, keeps
    // its shortcut working (a hidden menu action would lose it).
    ShowbuildMI = new QAction(QStringLiteral("Showbuild"), this);
    ShowbuildMI->setObjectName(QStringLiteral("ShowbuildMI"));
    ShowbuildMI->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
    ShowbuildMI->setShortcutContext(Qt::WindowShortcut);
    addAction(ShowbuildMI);
    connect(ShowbuildMI, &QAction::triggered, this,
        [this] { runCommand(this->prompts, [this] { ShowbuildMIClick(); }); });
}

void TAboutF::makeControls()
{
    if (CloseB)
        return;
    ProgramL = new QLabel(this);
    ProgramL->setObjectName(QStringLiteral("ProgramL"));
    ProgramL->setFont(fontOf(sansFamilies(), 20, true));
    ProgramL->move(24, 24);

    VersionL = new QLabel(this);
    VersionL->setObjectName(QStringLiteral("VersionL"));
    VersionL->setFont(fontOf(sansFamilies(), 11));
    VersionL->move(24, 56);

    // Made first, so first in the tab order.
    CloseB = new QPushButton(QStringLiteral("Close"), this);
    CloseB->setObjectName(QStringLiteral("CloseB"));
    CloseB->setGeometry(384, 258, 75, 25);
    connect(CloseB, &QPushButton::clicked, this,
        [this] { runCommand(this->prompts, [this] { CloseBClick(); }); });

    aboutM = new QPlainTextEdit(this);
    aboutM->setObjectName(QStringLiteral("aboutM"));
    aboutM->setGeometry(24, 80, 433, 161);
    aboutM->setReadOnly(true);
    // Selectable and copyable by mouse and keyboard, for pasting into a bug report.
    aboutM->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    aboutM->setFocusPolicy(Qt::StrongFocus);
    aboutM->setFont(fontOf(monoFamilies(), 9));
    aboutM->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette silver = aboutM->palette();
    silver.setColor(QPalette::Base, QColor(192, 192, 192));
    aboutM->setPalette(silver);

    previewKeysOf({ aboutM, CloseB });
    FormCreate();
}

void TAboutF::FormCreate()
{
    ProgramL->setText(QStringLiteral("Quillet"));
    ProgramL->adjustSize();
    VersionL->setText(versionText);
    VersionL->adjustSize();
    aboutM->setPlainText(aboutText(dataFolder));
}

void TAboutF::CloseBClick()
{
    done(QDialog::Accepted);
}

void TAboutF::FormKeyPress(QChar &key)
{
    escclose(this, key);
}

void TAboutF::ShowbuildMIClick()
{
    makeControls();
    VersionL->setText(versionText + QStringLiteral(" (")
        + fdatestr(QCoreApplication::applicationFilePath()) + QStringLiteral(")"));
    VersionL->adjustSize();
}

void TAboutF::setVisible(bool visible)
{
    if (visible)
        makeControls();
    KeyPreviewDialog::setVisible(visible);
}

void TAboutF::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, not over the main window.
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
}
