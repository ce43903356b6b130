#pragma once
// The font panel (fraFont): shows the font descriptor and alignment of one
// record line or of the title, date or time element, draws a sample of it,
// and stores a new descriptor and alignment for one line, one record
// display, every record display, or one line of every record in use.
//
// The panel edits the template it is given (the line table and the element
// fonts and alignments) and reaches the preview through hooks; the main
// window hosts it, places it and connects its own buttons to the Click
// handlers below.
#include "text/fontdescriptor.h"

#include <QGroupBox>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

// The template line table, [record 0..5][field 0..5][line 0..11]; field 1 is
// the alignment code and field 3 the font descriptor of a line.
using FontLineTable = std::array<std::array<std::array<QString, 12>, 6>, 6>;

// Where the panel reads and stores descriptors and alignment codes. A null
// pointer is a target with nothing to load or store.
struct FontPanelTemplate {
    FontLineTable* lines = nullptr;
    QString* titleFont = nullptr;
    QString* titleAlign = nullptr;
    QString* dateFont = nullptr;
    QString* dateAlign = nullptr;
    QString* timeFont = nullptr;
    QString* timeAlign = nullptr;
};

// What the panel needs of the preview and of the main window. Unset hooks
// do nothing (readers answer 0 or empty).
struct FontPanelHooks {
    // Caption and alignment of line label `line` of record display 0..9.
    std::function<QString(int display, int line)> lineCaption;
    std::function<int(int display, int line)> lineAlignment;
    std::function<void(int display, int line, int alignment)> setLineAlignment;
    // Alignment of element label 0 title, 1 date, 2 time.
    std::function<int(int element)> elementAlignment;
    std::function<void(int element, int alignment)> setElementAlignment;
    // Redraws the title, date or time label from the template.
    std::function<void(int element)> applyTDTLabelSettings;
    // The records-per-page text box.
    std::function<QString()> recordsPerPageText;
    // The designer's selection: record display 0..9 or 100 + element, and line.
    std::function<int()> selectedGroup;
    std::function<void(int)> setSelectedGroup;
    std::function<int()> selectedLine;
};

// Panel targets of the elements.
inline constexpr int kTitleGroup = 100;
inline constexpr int kDateGroup = 101;
inline constexpr int kTimeGroup = 102;

class FontPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit FontPanel(QWidget* parent = nullptr);

    void setTemplate(const FontPanelTemplate& t) { m_template = t; }
    void setHooks(const FontPanelHooks& hooks) { m_hooks = hooks; }

    // Loads the descriptor of a target into the panel: group a record
    // display 0..9 with line 0..11, or 100..102 with the element index as
    // line. The caption always follows the target; a descriptor with fewer
    // than two fields loads nothing else.
    void LoadFontPanel(int group, int line);
    // Stores the panel's descriptor and alignment for the target.
    void ApplyFontToLine(int group, int line);
    void ApplyFontCurrentRecord();
    void ApplyFontAllRecords();
    void ApplyLineFontAllRecords(int line);

    // The descriptor the panel shows, as ApplyFontToLine stores it.
    FontDescriptor panelDescriptor() const;
    uint32_t textColor() const { return m_textColor; }
    uint32_t effectColor() const { return m_effectColor; }
    void setTextColor(uint32_t bgr);
    void setEffectColor(uint32_t bgr);

    void ShowFontSample();
    const QImage& sampleImage() const { return m_sample; }

    int mintFontPanelMode = 0;

    // Controls, named as the form names them.
    std::array<QLabel*, 7> LblFont{};
    QComboBox* CmbFontName = nullptr;
    QComboBox* CmbFontSize = nullptr;
    QLabel* LblColor = nullptr;
    QToolButton* ImageColor = nullptr;
    std::array<QCheckBox*, 4> CheckStyle{};
    std::array<QRadioButton*, 4> OptEffect{};
    QLabel* LblEColor = nullptr;
    QToolButton* ImageEColor = nullptr;
    QComboBox* cmbFontAlignment = nullptr;
    QLabel* PicFontSample = nullptr;
    std::array<QPushButton*, 4> btnFontSet{};
    QPushButton* btnFontCancel = nullptr;

public Q_SLOTS:
    // Opens the panel for element Index (0 title, 1 date, 2 time).
    void btnLayout_Click(int Index);
    // Opens the panel for line Index of the selected record display.
    void btnLineFormat_Click(int Index);
    void btnFontSet_Click(int Index);
    void btnFontCancel_Click();
    void CheckStyle_Click(int Index);
    void OptEffect_Click(int Index);
    void CmbFontName_Click();
    void CmbFontSize_Click();
    void ImageColor_Click();
    void ImageEColor_Click();

private:
    QString* descriptorOf(int group, int line) const;
    int selectedEffect() const;
    void selectEffect(int index);
    void setStyleState(int index, int state);
    static void paintColorLabel(QLabel* label, uint32_t bgr);

    FontPanelTemplate m_template;
    FontPanelHooks m_hooks;
    QButtonGroup* m_effects = nullptr;
    uint32_t m_textColor = 16711680;
    uint32_t m_effectColor = 65535;
    QImage m_sample;
    bool m_ready = false;  // all controls built
};
