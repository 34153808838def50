#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QMainWindow>
#include <QRgb>

#include "app/MainMenus.h"
#include "app/MarkColorPanel.h"
#include "editor/ImageDocument.h"
#include "files/FileSession.h"

class PictureView;
class Printer;
class Prompts;
class QLabel;
class QPushButton;
class QScrollArea;
class TAboutF;
class TLocxxxF;
class PictureZoom;
class TMYcustomhistory;
struct PictureDrop;

// The main window: tool panel, the picture in a scroll box and the status line. It owns the
// working picture, the mode and the mark colour, and routes every command to the code that
// does the work, each inside the command wrapper. A picture file or picture data dropped on it
// opens or pastes (PictureDrop).
class TmainF : public QMainWindow {
    Q_OBJECT

public:
    // The printer is asked for when Print is first used, so that starting loads no print system.
    using PrinterSource = std::function<Printer &()>;

    // `executablePath` places the settings and history files beside it; pictures are saved into
    // `defaultSaveFolder` while the settings name no folder (the executable's folder when empty).
    TmainF(Prompts &prompts, PrinterSource printer, const QString &executablePath,
        const QString &defaultSaveFolder = QString(), QWidget *parent = nullptr);
    ~TmainF() override;

    // The About box, made once at start after the window and reused.
    void setAboutBox(TAboutF *box) { aboutBox = box; }
    // The location dialog, made once at start after the About box and reused.
    void setLocationDialog(TLocxxxF *dialog) { locationDialog = dialog; }

    const ImageDocument &document() const { return doc; }
    bool selectionmode() const { return selectionModeOn; }
    QRgb markcol() const { return markColor; }
    QRgb swatchcol() const { return colors->swatchColor(); }
    QString statusText() const;
    QString currentfilename() const { return session->currentfilename(); }
    QString savelocation() const { return session->savelocation(); }
    PictureView *imageControl() const { return Image1; }
    TMYcustomhistory *history() const { return OPH; }

    // Opens `path` as a picture chosen in File > Open opens, inside the command wrapper: the
    // picture named on the command line.
    void openFromOutside(const QString &path);

    // The handlers, as the menus, keys, mouse and controls reach them.
    void selectionmodeMIClick();
    void MarkMIClick();
    void CropMIClick();
    void SelectionCopyClick();
    void Copy1Click();
    void pasteMIClick();
    void DeleteCleardisplay1Click();
    void Clear1Click();
    void Undo1Click();
    void Setstandardstartimage1Click();
    void OpenBrowseMIClick();
    void OPHitemclicked(const QString &path);
    void Saveas1Click();
    void SaveMIClick();
    void PrintMIClick();
    void Exit1Click() { close(); }
    void AboutMIClick();
    void DefaultsavetoMIClick();
    void FormDragDrop(const PictureDrop &dropped);

    // The mark-colour controls of the tool panel.
    void setcolBClick();
    void Markcolor1Click();
    void markcolPClick();
    void cgClick(std::optional<QRgb> picked);

    void Image1MouseDown(QPoint p);
    void Image1MouseMove(QPoint p);
    void Image1MouseUp(QPoint p);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void FormCreate();
    void FormClose();
    void applyMode();
    void setStatus(const QString &text);
    void setTitle(const QString &path) { setWindowTitle(QStringLiteral("Quillet - ") + path); }
    void showOpened(Picture picture);
    std::function<void()> command(void (TmainF::*handler)());

    Prompts &prompts;
    PrinterSource printer;
    ImageDocument doc;
    bool selectionModeOn = false;
    QRgb markColor = qRgb(255, 0, 0);
    // The stored save location when it was bytes that are not text, as it was read.
    std::optional<QString> unreadableSave;
    QString exePath;
    QString defaultSave;
    QSize screenDpi;

    QWidget *Panel1 = nullptr;
    QPushButton *BitBtnWithColor1 = nullptr;
    std::unique_ptr<MarkColorPanel> colors;
    QScrollArea *ScrollBox1 = nullptr;
    PictureView *Image1 = nullptr;
    QLabel *stb = nullptr;
    MainMenus menus;
    TMYcustomhistory *OPH = nullptr;
    PictureZoom *zoom = nullptr;
    FileSession *session = nullptr;
    TAboutF *aboutBox = nullptr;
    TLocxxxF *locationDialog = nullptr;
};
