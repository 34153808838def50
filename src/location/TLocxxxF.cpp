#include "location/TLocxxxF.h"

#include <QDir>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include "files/pathhelpers.h"
#include "location/TDriveInfo.h"
#include "location/TKoDriveComboBox.h"
#include "location/TShellNode.h"
#include "location/TShellTree.h"
#include "platform/Command.h"
#include "platform/Failure.h"
#include "platform/Prompts.h"
#include "shell/Volumes.h"
#include "widgets/EscClose.h"

namespace {

const QSize designSize(489, 232);

// "MS Sans Serif" 8 points is 11 pixels high; where it is missing, a sans serif of that size.
QFont dialogFont()
{
    QFont font;
    font.setFamilies({ QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
        QStringLiteral("DejaVu Sans") });
    font.setPixelSize(11);
    return font;
}

QPushButton *makeButton(const QString &caption, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Neither button is the default one, so Enter presses neither.
    button->setAutoDefault(false);
    button->resize(75, 25);
    return button;
}

} // namespace

TLocxxxF::TLocxxxF(Prompts &prompts, TDriveInfo &driveInfo, ShellNamespace &shell,
    ChangeNotification &notification, QWidget *parent)
    : KeyPreviewDialog(prompts, parent), driveInfo(driveInfo), shell(shell),
      homePath(shell.homePath()), DirectoryListBox1(QString())
{
    setObjectName(QStringLiteral("LocxxxF"));
    setWindowTitle(QStringLiteral("Search Location "));
    setMinimumSize(200, 160);

    // Made in their tab order: the tree, the edit box, "&Ok", "&Cancel", the drive selector.
    ST1 = new TShellTree(shell, notification, prompts, this);
    ST1->setObjectName(QStringLiteral("ST1"));
    ST1->setReadOnly(true);
    ST1->OnChange = [this](TShellTree *) { runCommand(this->prompts, [this] { ST1Change(); }); };
    // The tree has selected its root, the desktop; relative texts start there until a pick.
    DirectoryListBox1 = DirectoryHolder(ST1->Path());

    locxxxE = new QLineEdit(this);
    locxxxE->setObjectName(QStringLiteral("locxxxE"));
    locxxxE->setFixedHeight(21);
    // Return and Enter in the edit box are "&Ok" there, though neither button is the default.
    connect(locxxxE, &QLineEdit::returnPressed, this,
        [this] { runCommand(this->prompts, [this] { SavelocBClick(); }); });

    SavelocB = makeButton(QStringLiteral("&Ok"), "SavelocB", this);
    connect(SavelocB, &QPushButton::clicked, this,
        [this] { runCommand(this->prompts, [this] { SavelocBClick(); }); });
    CancelB = makeButton(QStringLiteral("&Cancel"), "CancelB", this);
    connect(CancelB, &QPushButton::clicked, this,
        [this] { runCommand(this->prompts, [this] { CancelBClick(); }); });

    driCB = new TKoDriveComboBox(driveInfo, prompts, this);
    driCB->setObjectName(QStringLiteral("driCB"));
    driCB->setGeometry(8, 8, 145, driCB->height());
    connect(driCB, &TKoDriveComboBox::OnChange, this,
        [this] { runCommand(this->prompts, [this] { driCBChange(); }); });

    Label2 = new QLabel(QStringLiteral("Resulting location"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    // A screen reader names the edit box after its label, and the tree and selector by role.
    Label2->setBuddy(locxxxE);
    locxxxE->setAccessibleName(Label2->text());
    ST1->setAccessibleName(QStringLiteral("Folders"));
    driCB->setAccessibleName(QStringLiteral("Drive"));
    // Sized to its text when the dialog first shows, as a child never resized is.
    resultL = new QLabel(this);
    resultL->setObjectName(QStringLiteral("resultL"));
    resultL->move(168, 152);
    resultL->hide();

    // Key preview: the window sees every key before the control with the focus.
    previewKeysOf({ ST1, locxxxE, SavelocB, CancelB, driCB });

    resize(designSize);
    layOut();
}

void TLocxxxF::driCBChange()
{
    ST1->setPath(driveInfo.volumeLayer().rootPath(driCB->Drive()));
}

void TLocxxxF::ST1Change()
{
    const TShellNode *picked = ST1->selectedNode();
    if (picked && !shell.holdsAsText(picked->absolute)) {
        // The settings hold the location as text: such a name would come back as another folder.
        if (!ST1->refreshingAutomatically())
            plainmsg(prompts,
                QStringLiteral("The name of %1 is not valid text, so it cannot be a save location")
                    .arg(ST1->Path()));
        return;
    }
    try {
        if (DirectoryListBox1.setDirectory(ST1->Path()))
            DirectoryListBox1Change();
    } catch (const Failure &) {
        // A folder that went while the tree followed the disk is nobody's error to read.
        if (!ST1->refreshingAutomatically())
            throw;
    }
}

void TLocxxxF::DirectoryListBox1Change()
{
    const QString &folder = DirectoryListBox1.directory();
    locxxxE->setText(folder);
    // The selector shows the drive of the folder picked; the tree's selection stays on it.
    const QChar letter = driveInfo.volumeLayer().letterOf(folder);
    if (!letter.isNull())
        driCB->setDrive(letter);
}

void TLocxxxF::SavelocBClick()
{
    const QString typed = locxxxE->text();
    // An empty box changes nothing: the dialog stays open for a pick or "&Cancel".
    if (typed.isEmpty()) {
        plainmsg(prompts, QStringLiteral("No directory selected!"));
        return;
    }
    // A picked folder may have one in its name, but the settings file cannot hold it.
    if (typed.contains(u'\n') || typed.contains(u'\r')) {
        plainmsg(prompts, QStringLiteral("A location cannot contain a line break"));
        return;
    }
    // "/" and "~" are whole locations on this system, the root and the home folder; any other
    // single character is too short to be one.
    if (typed.size() < 2 && typed != u"/" && typed != u"~") {
        plainmsg(prompts, QStringLiteral("Invalid, need at least 2 characters!"));
        return;
    }
    const std::optional<QString> location = absoluteLocation(typed);
    if (!location) {
        plainmsg(prompts,
            QStringLiteral("There is no drive %1 on this computer!").arg(typed.left(2).toUpper()));
        return;
    }
    if (pathkind(*location) != 'd' && !acceptMissing(*location))
        return;
    resultL->setText(*location);
    done(QDialog::Accepted);
}

std::optional<QString> TLocxxxF::absoluteLocation(const QString &typed) const
{
    // Only "D:", "D:\" and "D:/" are drive letters here: they stand for that drive's mount point.
    static const QRegularExpression driveLetter(QStringLiteral("^([A-Za-z]):[\\\\/]?$"));
    if (const QRegularExpressionMatch match = driveLetter.match(typed); match.hasMatch()) {
        const QString root = driveInfo.volumeLayer().rootPath(match.captured(1).at(0));
        return root.isEmpty() ? std::nullopt : std::optional<QString>(root);
    }
    QString path = typed;
    if (path == u"~" || path.startsWith(QStringLiteral("~/")))
        path = joinPath(homePath, path.mid(1));
    else if (!path.startsWith(u'/'))
        path = joinPath(DirectoryListBox1.directory(), path);
    // Stored cleaned: no doubled separators, "." or "..", and no trailing "/" except the root's.
    return QDir::cleanPath(path);
}

bool TLocxxxF::acceptMissing(const QString &location)
{
    const auto ask = [this](const QString &caption, const QString &text, Prompts::Icon icon,
                         Prompts::Answer defaultButton = Prompts::Answer::Yes) {
        return prompts.message(caption, text, icon, Prompts::Buttons::YesNo, defaultButton);
    };
    const QString warning = QStringLiteral("Warning");
    // A relative text was taken against the picked folder: the question says where that is.
    if (ask(warning,
            QStringLiteral("Chosen location is invalid or does not exist. I try to create it??\n")
                + location,
            Prompts::Icon::Warning)
        != Prompts::Answer::Yes)
        return ask(warning, QStringLiteral("Accept the path anyway??"), Prompts::Icon::Warning)
            != Prompts::Answer::No;
    if (makedirs(location)) {
        plainmsg(prompts, QStringLiteral("Creation succesfull"));
        return true;
    }
    // No is the default: Return must not keep a folder that could not be made.
    return ask(QStringLiteral("Error"),
               QStringLiteral("Unable to create ") + location
                   + QStringLiteral(". Probably invalid drive or not writable!")
                   + QStringLiteral(" accept it anyway??"),
               Prompts::Icon::Error, Prompts::Answer::No)
        != Prompts::Answer::No;
}

void TLocxxxF::CancelBClick()
{
    reject();
}

void TLocxxxF::FormKeyPress(QChar &key)
{
    escclose(this, key);
}

void TLocxxxF::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void TLocxxxF::layOut()
{
    // The anchored controls keep their designed distances to the right and bottom edges.
    const int right = width() - designSize.width();
    const int bottom = height() - designSize.height();
    ST1->setGeometry(8, 40, 473 + right, 96 + bottom);
    Label2->move(8, 151 + bottom);
    locxxxE->setGeometry(8, 173 + bottom, 473 + right, locxxxE->height());
    SavelocB->move(8, 199 + bottom);
    CancelB->move(112, 199 + bottom);
}

void TLocxxxF::setVisible(bool visible)
{
    // The dialog's font is loaded from its file when a control first measures text in it, which
    // the edit box does as soon as it is made: so it is set when the dialog first shows, before
    // its controls are shown and sized.
    if (visible && !testAttribute(Qt::WA_SetFont))
        setFont(dialogFont());
    KeyPreviewDialog::setVisible(visible);
}

void TLocxxxF::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen at every call.
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());
}
