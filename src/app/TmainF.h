#pragma once

#include <functional>

#include <QMainWindow>
#include <QRgb>

#include "editor/ImageDocument.h"

class ColorSwatch;
class FileSession;
class PictureView;
class Printer;
class Prompts;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class TAboutF;
class TColorGrid;
class TLocxxxF;
class TMYcustomhistory;

// The main window: tool panel, the picture in a scroll box and the status line. It owns the
// working picture, the mode and the mark colour, and routes every command to the code that
// does the work, each inside the command wrapper.
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
    QRgb swatchcol() const { return swatchColor; }
    QString statusText() const;
    QString currentfilename() const;
    QString savelocation() const;
    PictureView *imageControl() const { return Image1; }
    TMYcustomhistory *history() const { return OPH; }

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
    void Exit1Click();
    void AboutMIClick();
    void DefaultsavetoMIClick();

    // The mark-colour controls of the tool panel.
    void setcolBClick();
    void Markcolor1Click();
    void markcolPClick();
    void cgClick();

    void Image1MouseDown(QPoint p);
    void Image1MouseMove(QPoint p);
    void Image1MouseUp(QPoint p);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMarkColorControls();
    void buildMenus();
    void FormCreate();
    void FormClose();
    void applyMode();
    void setSelectionMenuEnabled(bool enabled);
    void setStatus(const QString &text);
    void setSwatchColor(QRgb color);
    void setTitle(const QString &path);
    void showOpened(Picture picture);
    std::function<void()> command(void (TmainF::*handler)());

    Prompts &prompts;
    PrinterSource printer;
    ImageDocument doc;
    bool selectionModeOn = false;
    QRgb markColor = qRgb(255, 0, 0);
    QRgb swatchColor = qRgb(255, 0, 0);
    QColor lastDialogColor = Qt::black; // the colour dialog opens on the colour last chosen in it
    QString exePath;
    QString defaultSave;
    QSize screenDpi;

    QWidget *Panel1 = nullptr;
    QPushButton *BitBtnWithColor1 = nullptr;
    QPushButton *setcolB = nullptr;
    ColorSwatch *markcolP = nullptr;
    TColorGrid *cg = nullptr;
    // The grid's indices as last seen: a click on the cell numbered like them changes nothing.
    int lastfgindex = 0;
    int lastbgindex = 0;
    QScrollArea *ScrollBox1 = nullptr;
    PictureView *Image1 = nullptr;
    QLabel *stb = nullptr;
    QMenu *OpenMI = nullptr;
    QMenu *SelectionMI = nullptr;
    QAction *selectionmodeMI = nullptr;
    QMenu *PopupMenu1 = nullptr;
    TMYcustomhistory *OPH = nullptr;
    FileSession *session = nullptr;
    TAboutF *aboutBox = nullptr;
    TLocxxxF *locationDialog = nullptr;
};
