#pragma once
// TStatusBarPro: a status bar that draws its panels itself. Beyond a plain status bar each panel
// has an image from the bar's image list, a hint, a context menu and click and double-click
// handlers, and the bar takes child widgets (the progress bar sits over a panel).
//
// Panels repaint lazily: a setter stores only a changed value; a change marks that one panel,
// whose rectangle alone is repainted at the next paint, and a change of Width lays out all
// panels. Changing a text many times between two paints costs one repaint.

#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "ui/ImageList.h"

class QHelpEvent;
class QSizeGrip;

namespace ui {

class TStatusBarPro;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum class TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanelPro {
public:
    TStatusPanelPro(TStatusBarPro& bar, int index) : bar_(bar), index_(index) {}
    TStatusPanelPro(const TStatusPanelPro&) = delete;
    TStatusPanelPro& operator=(const TStatusPanelPro&) = delete;

    int Index() const { return index_; }

    TAlignment Alignment() const { return alignment_; }
    TStatusPanelBevel Bevel() const { return bevel_; }
    const QString& Hint() const { return hint_; }
    // An index of the bar's Images; -1, or any index outside the list, draws no image.
    int ImageIndex() const { return imageIndex_; }
    // Empty again once the menu is destroyed.
    QMenu* PopupMenu() const { return popupMenu_; }
    TStatusPanelStyle Style() const { return style_; }
    const QString& Text() const { return text_; }
    // Pixels; the last panel ignores it and reaches to the right end of the bar.
    int Width() const { return width_; }

    void SetAlignment(TAlignment value);
    void SetBevel(TStatusPanelBevel value);
    void SetHint(const QString& value);
    void SetImageIndex(int value);
    void SetPopupMenu(QMenu* value);
    void SetStyle(TStatusPanelStyle value);
    void SetText(const QString& value);
    void SetWidth(int value);

    // A click or double click on this panel; when empty, the bar's own handler is called.
    std::function<void(TStatusPanelPro& sender)> OnClick;
    std::function<void(TStatusPanelPro& sender)> OnDblClick;

private:
    template <typename T>
    void Store(T& field, const T& value);

    TStatusBarPro& bar_;
    int index_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TStatusPanelBevel bevel_ = TStatusPanelBevel::pbLowered;
    QString hint_;
    int imageIndex_ = -1;
    QPointer<QMenu> popupMenu_;
    TStatusPanelStyle style_ = TStatusPanelStyle::psText;
    QString text_;
    int width_ = 50;
};

// The panels of one bar, in order. More than TStatusBarPro::kMaxShownPanels are kept but
// only that many are shown.
class TStatusPanelsPro {
public:
    explicit TStatusPanelsPro(TStatusBarPro& bar) : bar_(bar) {}

    int Count() const { return static_cast<int>(items_.size()); }
    TStatusPanelPro& operator[](int index) { return *items_.at(index); }
    const TStatusPanelPro& operator[](int index) const { return *items_.at(index); }
    TStatusPanelPro& Add();
    void Clear();

private:
    TStatusBarPro& bar_;
    std::vector<std::unique_ptr<TStatusPanelPro>> items_;
};

class TStatusBarPro : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxShownPanels = 128;

    explicit TStatusBarPro(QWidget* parent = nullptr);
    ~TStatusBarPro() override;

    TStatusPanelsPro& Panels() { return panels_; }
    const TStatusPanelsPro& Panels() const { return panels_; }
    int ShownPanelCount() const;
    // Panel `index` with its border, in the bar's coordinates; empty when it is not shown.
    QRect PanelRect(int index) const;
    // The shown panel at `pos`, or -1.
    int PanelAt(QPoint pos) const;

    // Not owned; the bar repaints when the list changes and forgets it when it is destroyed.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // One text across the whole bar instead of the panels.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    const QString& SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& value);
    // The grip shows only while the window that holds the bar can be resized.
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);
    // The desktop's status-bar font, followed when it changes. Turning it on stops taking
    // the parent's font; taking the parent's font turns it off.
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    bool ParentFont() const;
    void SetParentFont(bool value);
    // The context menu of panels without one of their own; empty again once destroyed.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // Draws the inside of panels of style psOwnerDraw.
    std::function<void(TStatusBarPro& bar, TStatusPanelPro& panel, QPainter& painter,
                       const QRect& rect)>
        OnDrawPanel;
    // A click or double click on the bar outside panels with a handler of their own.
    std::function<void(TStatusBarPro& sender)> OnClick;
    std::function<void(TStatusBarPro& sender)> OnDblClick;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class TStatusPanelPro;
    friend class TStatusPanelsPro;

    void MarkPanel(int index);
    void LayoutPanels();
    void UpdateSizeGrip();
    void ApplySystemFont();
    void ShowToolTip(const QHelpEvent& help);
    TStatusPanelPro* CurrentPanel();
    int PanelsRight() const;
    void DrawBevel(QPainter& painter, const QRect& rect, TStatusPanelBevel bevel) const;
    void DrawPanel(QPainter& painter, TStatusPanelPro& panel, const QRect& rect);
    void DrawText(QPainter& painter, const QRect& rect, int x, const QString& text) const;

    TStatusPanelsPro panels_{*this};
    QPointer<TImageList> images_;
    QPointer<QMenu> popupMenu_;
    std::unique_ptr<QSizeGrip> grip_;
    QString simpleText_;
    bool simplePanel_ = false;
    bool sizeGrip_ = true;
    bool useSystemFont_ = true;
    // The panel last found under the pointer, or -1.
    int currentPanel_ = -1;
};

}  // namespace ui
