#pragma once
// DataSourceView over the main window's real controls. The window fills the
// pointers once (a control left null is skipped) and passes the view to the
// handlers of datasource.h.
#include "records/datasource.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QRadioButton;

class WidgetDataSourceView final : public DataSourceView {
public:
    static constexpr int kControls = int(DataSourceControl::optRunSettings1) + 1;

    // The control for each DataSourceControl: QLineEdit for the text boxes,
    // any button for the browse buttons, QRadioButton for the two options.
    void setControl(DataSourceControl c, QWidget* w) { controls_[size_t(c)] = w; }
    void setRDMFrames(QWidget* fraRDM, QWidget* fraRDMControls)
    {
        fraRDM_ = fraRDM;
        fraRDMControls_ = fraRDMControls;
    }

    void setEnabled(DataSourceControl c, bool enabled) override;
    void setBackColor(DataSourceControl c, uint32_t color) override;
    QString text(DataSourceControl c) const override;
    void setText(DataSourceControl c, const QString& text) override;
    void selectLocalOption() override;
    bool isRDMVisible() const override;
    void setRDMControlsVisible(bool visible) override;

private:
    QWidget* control(DataSourceControl c) const { return controls_[size_t(c)]; }

    std::array<QPointer<QWidget>, kControls> controls_{};
    QPointer<QWidget> fraRDM_;
    QPointer<QWidget> fraRDMControls_;
};
