#pragma once

#include "platform/qt/fonts.hpp"
#include "ui/context.hpp"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <map>

class QKeyEvent;
class QLineEdit;
class QListWidgetItem;

namespace kestrel::platform {

// The client area of a running window: one widget per control of its form, placed in
// pixels converted from the form's units, kept in step with the form in both directions.
class FormWidget final : public QWidget, public ui::FormView {
  public:
    FormWidget(ui::Context& ctx, QWidget* parent);
    ~FormWidget() override;

    void build();
    QSize client_size() const;
    QPoint to_pixels(ui::Point p) const;
    ui::Context& context() { return m_ctx; }
    // Keys reach the window's accelerators before the focused control; true when taken.
    bool take_key(QKeyEvent* event);
    // Whether take_key would take it: asked before Qt's own shortcuts may act on a key.
    bool takes_key(QKeyEvent* event) const;

    // ui::FormView
    void control_added(const ui::Control& control) override;
    void control_removed(int id) override;
    void control_changed(const ui::Control& control, ui::Change what) override;
    void line_changed(const ui::Control& control, int index) override;
    void focus_changed(int id) override;
    void caption_changed(const std::string& caption) override;
    void menu_changed(int id, const std::string& text) override;
    void timer_started(int id, int milliseconds) override;
    void timer_stopped(int id) override;
    void command_posted() override;
    void closed() override;

    // The top-level window sets these: how to change the caption and the menu, and what closing does.
    std::function<void(const QString&)> on_caption;
    std::function<void(int, const QString&)> on_menu_text;
    std::function<void()> on_closed;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QWidget* create(const ui::Control& control);
    void place(QWidget* widget, const ui::Control& control);
    void refresh(QWidget* widget, const ui::Control& control, ui::Change what);
    void fill_items(QWidget* widget, const ui::Control& control);
    void set_spoken(QListWidgetItem* item, const ui::Control& control, int index);
    void run_posted_when_shown(int tries);
    int id_of(QObject* object) const;
    void watch_line(QLineEdit* edit, int id);
    bool type_key(QKeyEvent* event);
    static QLineEdit* line_edit_of(QWidget* widget);
    static ui::TextSelection selection_of(const QLineEdit* edit);

    ui::Context& m_ctx;
    QFont m_font;
    DialogUnits m_units;
    std::map<int, QPointer<QWidget>> m_widgets;
    std::map<int, QTimer*> m_timers;
    bool m_updating = false; // true while the form's state is pushed into the widgets
    bool m_posted_pending = false;
    // When a progress bar was last painted at once; at most every k_bar_paint_ms.
    static constexpr int k_bar_paint_ms = 50;
    QElapsedTimer m_bar_painted;
};

} // namespace kestrel::platform
