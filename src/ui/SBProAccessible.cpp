#include "ui/SBProAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <memory>
#include <vector>

#include "ui/SBPro.h"

namespace ui {

namespace {

class TStatusPanelAccessible : public QAccessibleInterface {
public:
    TStatusPanelAccessible(TStatusBarPro* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ && index_ < bar_->ShownPanelCount(); }
    // A panel is no object of its own.
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return bar_ ? bar_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !isValid() || !bar_->isVisible();
        return state;
    }
    void setText(QAccessible::Text, const QString&) override {}
    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        if (kind == QAccessible::Name)
            return bar_->Panels()[index_].Text();
        if (kind == QAccessible::Description)
            return bar_->Panels()[index_].Hint();
        return {};
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = bar_->PanelRect(index_);
        return QRect(bar_->mapToGlobal(local.topLeft()), local.size());
    }

private:
    QPointer<TStatusBarPro> bar_;
    int index_;
};

class TStatusBarAccessible : public QAccessibleWidget {
public:
    explicit TStatusBarAccessible(TStatusBarPro* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar) {}
    ~TStatusBarAccessible() override {
        for (const QAccessible::Id id : panelIds_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return PanelCount() + QAccessibleWidget::childCount(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0)
            return nullptr;
        if (index >= PanelCount())
            return QAccessibleWidget::child(index - PanelCount());
        while (static_cast<int>(panelIds_.size()) <= index) {
            // Qt's registry owns the interface; the destructor above hands it back.
            auto panel =
                std::make_unique<TStatusPanelAccessible>(Bar(), static_cast<int>(panelIds_.size()));
            panelIds_.push_back(QAccessible::registerAccessibleInterface(panel.release()));
        }
        return QAccessible::accessibleInterface(panelIds_[index]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < PanelCount() && i < static_cast<int>(panelIds_.size()); ++i)
            if (QAccessible::accessibleInterface(panelIds_[i]) == child)
                return i;
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : PanelCount() + widgetIndex;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y))
            return widget;
        const int panel = Bar()->PanelAt(Bar()->mapFromGlobal(QPoint(x, y)));
        return panel < 0 ? nullptr : child(panel);
    }

    // The bar's own text is its simple text, as the system's status bar reports it.
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && Bar()->SimplePanel())
            return Bar()->SimpleText();
        return QAccessibleWidget::text(kind);
    }

private:
    TStatusBarPro* Bar() const { return static_cast<TStatusBarPro*>(widget()); }
    int PanelCount() const { return Bar()->SimplePanel() ? 0 : Bar()->ShownPanelCount(); }

    mutable std::vector<QAccessible::Id> panelIds_;
};

QAccessibleInterface* StatusBarFactory(const QString& className, QObject* object) {
    if (className != TStatusBarPro::staticMetaObject.className() || !object->isWidgetType())
        return nullptr;
    return new TStatusBarAccessible(static_cast<TStatusBarPro*>(object));
}

}  // namespace

void InstallStatusBarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(StatusBarFactory);
        return true;
    }();
    (void)installed;
}

void NotifyPanelTextChanged(TStatusBarPro& bar, int index) {
    if (!QAccessible::isActive() || index >= bar.ShownPanelCount())
        return;
    QAccessibleEvent event(&bar, QAccessible::NameChanged);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

}  // namespace ui
