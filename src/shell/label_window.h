#pragma once

#include "core/display_list.h"
#include "core/display_painter.h"
#include "core/file_dialogs.h"
#include "core/messages.h"
#include "core/project_state.h"
#include "label/label_document.h"
#include "label/label_preview.h"
#include "label/label_printer.h"

#include <QDialog>

#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QToolBar;

namespace qvt {

class LabelPictureWidget;

// A size ruler beside the label surface: a line as long as the surface with
// end ticks and the size in millimetres at its middle, turned a quarter (read
// from the bottom up) for the one on the left.
class RulerLabel : public QWidget {
public:
    RulerLabel(const QString& name, bool turned, QWidget* parent);
    QString text() const { return text_; }
    void setText(const QString& text);
    void setLength(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool turned_;
    QString text_;
};

inline constexpr std::string_view kLabelWindowCaption = "Label Desing";

// The label window: the project's label drawn on a white surface at its real
// size on the screen, its tools and property editors, and beside it the print
// preview, drawn from the very printer stream a test print sends. The label
// itself lives in a LabelDocument; the window passes mouse and editor events
// to it and draws what it says changed. Nothing reaches the project before
// Save.
class TFEtiketDuzenle : public QDialog {
    Q_OBJECT

public:
    // `pixelsPerMm` 0 takes the screen's.
    TFEtiketDuzenle(ProjectState& project, Messages& messages, FileDialogs& dialogs, PrinterOutput& printer,
                    PrinterPortMap ports, QWidget* parent = nullptr, double pixelsPerMm = 0);
    ~TFEtiketDuzenle() override;

    // Loads the label text, as when the window opens for it; the text becomes
    // SavedLabelText.
    void LoadLabel(const std::string& labelText);

    LabelDocument& document() { return *document_; }
    double pixelsPerMm() const { return pixelsPerMm_; }
    const std::string& savedLabelText() const { return savedLabelText_; }
    const std::string& currentDesignFile() const { return designFile_; }
    // The label text Save would store differs from the one last saved.
    bool HasUnsavedChanges() const;
    QWidget* surface() const;
    QWidget* preview() const;
    const DisplayList& surfacePicture() const;
    const DisplayList& previewPicture() const;

    // Commands.
    void aSilExecute();
    void aTemizleExecute();
    void aExportExecute();
    void aImportExecute();
    void aCompileExecute();
    void aSaklaExecute();
    void bYazdirClick();
    void aCikExecute();

    QAction* aSec;
    QAction* aAlan;
    QAction* aYazi;
    QAction* aYatay;
    QAction* aBarkod;
    QAction* aSil;
    QAction* aTemizle;
    QAction* aExport;
    QAction* aImport;
    QAction* aCompile;
    QAction* aSakla;
    QAction* aCik;
    QAction* aUndo;
    QAction* aRedo;

    QSpinBox* eX;
    QSpinBox* eY;
    QSpinBox* eX1;
    QSpinBox* eY1;
    QComboBox* eFont;
    QComboBox* eAlan;
    QLineEdit* eYazi;
    QLabel* lx;
    QLabel* ly;
    QLabel* lx1;
    QLabel* ly1;
    QLabel* lfont;
    QLabel* lAlan;
    QLabel* lYazi;
    QComboBox* eEtiketTipi;
    QComboBox* eYon;
    QComboBox* eBarkodTipi;
    QPushButton* bYazdir;
    QGroupBox* prsecim;
    QRadioButton* prLpt1;
    QRadioButton* prCom1;
    RulerLabel* LEn;
    RulerLabel* LBoy;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    friend class LabelPictureWidget;

    void FormCreate();
    bool FormCloseQuery();
    QAction* makeAction(const char* name, const char* caption, int image, bool checkable = false);
    void buildLayout();

    LabelDocument::Tool tool() const;
    void pressSelectTool();
    void surfacePressed(int x, int y);
    void surfaceMoved(int x, int y, bool leftButtonOnly);
    void surfaceReleased();
    void editorChanged(LabelDocument::Editor source);
    void labelPropertyChanged();
    LabelDocument::EditorValues editorValues() const;
    std::string chosenVariable() const;

    // Brings selectors, surface, rulers, editors and preview up to the document.
    void documentChanged();
    void layOutPanel();
    void showDesignFile(const std::string& path);
    // Writes the design into the current design file, asking for one first
    // when there is none. False when the user cancelled.
    bool saveToDesignFile();

    ProjectState& project_;
    Messages& messages_;
    FileDialogs& dialogs_;
    PrinterOutput& printer_;
    PrinterPortMap ports_;
    double pixelsPerMm_;

    std::unique_ptr<PainterFontMetrics> metrics_;
    std::unique_ptr<LabelDocument> document_;
    std::unique_ptr<LabelPreviewer> previewer_;
    DisplayList surfacePicture_;
    DisplayList previewPicture_;
    bool previewCompiles_ = false;
    // Bounds of the selected element as last drawn, so a drag repaints only
    // where it was and where it is.
    PixelRect lastSelectedBounds_{};

    std::string savedLabelText_;
    // The label text the design built when it was loaded or last saved: what
    // "unsaved" is measured against (a label text written elsewhere need not
    // come back byte for byte).
    std::string savedBuild_;
    std::string designFile_;
    bool editorsArmed_ = true;
    bool closing_ = false;

    QToolBar* toolBar_ = nullptr;
    QActionGroup* tools_ = nullptr;
    LabelPictureWidget* surface_ = nullptr;
    LabelPictureWidget* preview_ = nullptr;
    QScrollArea* surfaceScroll_ = nullptr;
    QScrollArea* previewScroll_ = nullptr;
};

// Opens the label window on the project's label text, modally; the window is
// freed when it closes.
void ShowLabelWindow(ProjectState& project, Messages& messages, FileDialogs& dialogs, QWidget* parent);

} // namespace qvt
