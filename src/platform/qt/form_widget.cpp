#include "platform/qt/form_widget.hpp"

#include "platform/qt/canvas.hpp"
#include "platform/qt/keys.hpp"
#include "platform/qt/text.hpp"
#include "ui/key_letters.hpp"
#include "ui/typing.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace kestrel::platform {

namespace {

// What the operator puts into a box at once (pasted, cut, undone) goes by the box's own rules;
// single keys never reach here, they are typed through the window.
class RuleValidator final : public QValidator {
  public:
    RuleValidator(ui::Context& ctx, int id, QObject* parent) : QValidator(parent), m_ctx(ctx), m_id(id) {}
    State validate(QString& input, int&) const override {
        const std::optional<std::string> bytes = exact_windows1252(input);
        const std::optional<std::string> held =
            bytes ? ui::accept_text(m_ctx.control(m_id), *bytes) : std::nullopt;
        if (!held) {
            QApplication::beep();
            return Invalid;
        }
        if (held->size() == static_cast<std::size_t>(input.size())) input = box_text(*held);
        return Acceptable;
    }

  private:
    ui::Context& m_ctx;
    int m_id;
};

class ComboBox final : public QComboBox {
  public:
    using QComboBox::QComboBox;
    std::function<void()> on_closed;
    void hidePopup() override {
        QComboBox::hidePopup();
        if (on_closed) on_closed();
    }
};

class OwnerDrawDelegate final : public QStyledItemDelegate {
  public:
    OwnerDrawDelegate(ui::Context& ctx, int id, QObject* parent)
        : QStyledItemDelegate(parent), m_ctx(ctx), m_id(id) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        QtCanvas canvas(*painter, option.font);
        const QRect r = option.rect;
        ui::DrawItem item{m_id, index.row(), ui::Rect{r.x(), r.y(), r.width(), r.height()},
                          (option.state & QStyle::State_Selected) != 0,
                          (option.state & QStyle::State_HasFocus) != 0};
        m_ctx.window().draw_item(m_ctx, item, canvas);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const int h = m_ctx.control(m_id).item_height;
        return QSize(option.rect.width(), h > 0 ? h : QFontMetrics(option.font).height() + h);
    }

  private:
    ui::Context& m_ctx;
    int m_id;
};

void set_colours(QWidget* w, const ui::Control& c) {
    if (!c.background && !c.foreground) return;
    QPalette p = w->palette();
    if (c.background) {
        p.setColor(QPalette::Window, qcolor(*c.background));
        p.setColor(QPalette::Base, qcolor(*c.background));
        p.setColor(QPalette::Button, qcolor(*c.background));
        w->setAutoFillBackground(true);
    }
    if (c.foreground) {
        p.setColor(QPalette::WindowText, qcolor(*c.foreground));
        p.setColor(QPalette::Text, qcolor(*c.foreground));
    }
    w->setPalette(p);
}

// A button's words on as many lines as its width needs, as a multi-line button shows them.
QString wrapped(const QString& text, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        QString shown = longer;
        shown.remove(QLatin1Char('&'));
        if (!line.isEmpty() && metrics.horizontalAdvance(shown) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines.join(QLatin1Char('\n'));
}

// A multi-line box's text as the widget holds it: its lines end in LF where the form's end in
// CR LF. Comparing in this form keeps the widget from being reset (caret and all) after each key.
QString plain_text_of(std::string_view windows1252) {
    QString text = box_text(windows1252);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Where a byte of a multi-line box's text lies in the widget, which holds a CR LF as one character.
int plain_position(std::string_view text, int byte) {
    int position = 0;
    const int end = std::min(byte, static_cast<int>(text.size()));
    for (int i = 0; i < end; ++i)
        if (!(text[i] == '\r' && i + 1 < static_cast<int>(text.size()) && text[i + 1] == '\n')) ++position;
    return position;
}

// The caret and selection the form chose, shown in a multi-line box.
void show_selection(QPlainTextEdit* box, const ui::Control& c) {
    const int last = std::max(0, box->document()->characterCount() - 1);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(std::min(plain_position(c.text, c.selection.anchor), last));
    cursor.setPosition(std::min(plain_position(c.text, c.selection.caret), last), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

QPixmap bitmap(const std::string& name) {
    return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(QString::fromLatin1(name.c_str())));
}

// A button's text marks its key letter with '&', and Qt makes that a shortcut of its own, which
// presses the button only after showing it pressed for 100 ms. The window's own key handling
// presses it at once (see QtHost::eventFilter), so Qt's shortcut is dropped: whichever way the
// key came, the window opens as soon as it would for a click. The letter stays underlined.
void without_qt_shortcut(QAbstractButton* button) {
    button->setShortcut(QKeySequence());
}

Qt::Alignment alignment_of(unsigned style) {
    if (style & ui::right_aligned) return Qt::AlignRight | Qt::AlignTop;
    if (style & ui::centred) return Qt::AlignHCenter | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace

FormWidget::FormWidget(ui::Context& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    const ui::Form& form = ctx.form();
    m_font = form.font ? font_of(*form.font) : default_dialog_font();
    m_units = dialog_units_of(m_font);
    setFont(m_font);
    if (form.background) {
        QPalette p = palette();
        p.setColor(QPalette::Window, qcolor(*form.background));
        setPalette(p);
        setAutoFillBackground(true);
    }
    ui::Driver driver(ctx);
    driver.attach(this);
    // Commands from other threads come to this thread as queued calls; the inbox is told to stop
    // waking this widget before it goes.
    driver.inbox().set_wake([this] {
        QMetaObject::invokeMethod(
            this, [this] { ui::Driver(m_ctx).run_thread_posts(); }, Qt::QueuedConnection);
    });
}

FormWidget::~FormWidget() {
    ui::Driver driver(m_ctx);
    driver.inbox().set_wake(nullptr);
    driver.attach(nullptr);
}

void FormWidget::watch_line(QLineEdit* e, int id) {
    e->setValidator(new RuleValidator(m_ctx, id, e));
    connect(e, &QLineEdit::textEdited, this, [this, id](const QString& t) {
        if (!m_updating) ui::Driver(m_ctx).operator_typed(id, from_qt(t));
    });
    // The caret and selection the operator makes with the mouse and the caret keys.
    const auto report = [this, e, id] {
        if (!m_updating) ui::Driver(m_ctx).operator_selected_text(id, selection_of(e));
    };
    connect(e, &QLineEdit::cursorPositionChanged, this, report);
    connect(e, &QLineEdit::selectionChanged, this, report);
}

QPoint FormWidget::to_pixels(ui::Point p) const {
    if (m_ctx.form().units == ui::Units::pixels) return QPoint(p.x, p.y);
    return QPoint(static_cast<int>(std::lround(p.x * m_units.x)),
                  static_cast<int>(std::lround(p.y * m_units.y)));
}

QSize FormWidget::client_size() const {
    const ui::Rect f = m_ctx.form().frame;
    const QPoint p = to_pixels({f.w, f.h});
    return QSize(p.x(), p.y());
}

void FormWidget::build() {
    const auto& controls = m_ctx.form().controls;
    for (const ui::Control& c : controls)
        control_added(c);
    // A label's "&" marks its key letter, which takes the focus to the next control that can
    // have it, as with the old dialogs' static texts.
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != ui::ControlKind::label || controls[i].text.find('&') == std::string::npos)
            continue;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (!ui::takes_focus(controls[j])) continue;
            if (auto* l = qobject_cast<QLabel*>(m_widgets[controls[i].id].data()))
                l->setBuddy(m_widgets[controls[j].id]);
            break;
        }
    }
}

int FormWidget::id_of(QObject* object) const {
    for (const auto& [id, w] : m_widgets) {
        for (QObject* o = object; o; o = o->parent()) {
            if (o == w) return id;
            if (o == this) break;
        }
    }
    return 0;
}

void FormWidget::place(QWidget* w, const ui::Control& c) {
    const QPoint at = to_pixels({c.rect.x, c.rect.y});
    if (c.kind == ui::ControlKind::picture) {
        w->move(at);
        w->adjustSize();
        return;
    }
    const QPoint size = to_pixels({c.rect.w, c.rect.h});
    w->setGeometry(at.x(), at.y(), size.x(), size.y());
}

QWidget* FormWidget::create(const ui::Control& c) {
    const int id = c.id;
    ui::Context& ctx = m_ctx;
    switch (c.kind) {
    case ui::ControlKind::label: {
        auto* l = new QLabel(to_qt(c.text), this);
        l->setAlignment(alignment_of(c.style));
        l->setTextFormat(Qt::PlainText);
        if (c.style & ui::static_edge) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return l;
    }
    case ui::ControlKind::edit: {
        if (c.style & ui::multi_line) {
            auto* e = new QPlainTextEdit(this);
            e->setReadOnly(c.style & ui::read_only);
            connect(e, &QPlainTextEdit::textChanged, this, [this, e, id] {
                if (!m_updating) ui::Driver(m_ctx).operator_typed(id, from_qt(e->toPlainText()));
            });
            return e;
        }
        auto* e = new QLineEdit(this);
        e->setReadOnly(c.style & ui::read_only);
        e->setAlignment(alignment_of(c.style) & Qt::AlignHorizontal_Mask);
        e->setFrame(true);
        watch_line(e, id);
        return e;
    }
    case ui::ControlKind::button: {
        auto* b = new QPushButton(this);
        b->setText((c.style & ui::multi_line)
                       ? wrapped(to_qt(c.text), b->font(), to_pixels({c.rect.w, 0}).x() - 6)
                       : to_qt(c.text));
        without_qt_shortcut(b);
        b->setAutoDefault(false);
        b->setDefault(c.style & ui::default_button);
        connect(b, &QPushButton::clicked, this, [&ctx, id] { ui::Driver(ctx).operator_clicked(id); });
        return b;
    }
    case ui::ControlKind::check_box: {
        auto* b = new QCheckBox(to_qt(c.text), this);
        without_qt_shortcut(b);
        if (c.style & ui::text_on_left) b->setLayoutDirection(Qt::RightToLeft);
        connect(b, &QCheckBox::clicked, this, [&ctx, id] { ui::Driver(ctx).operator_clicked(id); });
        return b;
    }
    case ui::ControlKind::option: {
        auto* b = new QRadioButton(to_qt(c.text), this);
        without_qt_shortcut(b);
        b->setAutoExclusive(false);
        if (c.style & ui::text_on_left) b->setLayoutDirection(Qt::RightToLeft);
        connect(b, &QRadioButton::clicked, this, [&ctx, id] { ui::Driver(ctx).operator_clicked(id); });
        return b;
    }
    case ui::ControlKind::combo: {
        auto* b = new ComboBox(this);
        b->setEditable(c.style & ui::editable);
        b->setMaxVisibleItems(12);
        connect(b, qOverload<int>(&QComboBox::activated), this, [this, id](int index) {
            std::vector<bool> selected(m_ctx.item_count(id), false);
            if (index >= 0 && index < static_cast<int>(selected.size())) selected[index] = true;
            ui::Driver(m_ctx).operator_selected(id, std::move(selected));
        });
        if (b->isEditable()) watch_line(b->lineEdit(), id);
        b->on_closed = [this, id] {
            if (!m_updating) ui::Driver(m_ctx).command(id, ui::Notify::dropdown_closed);
        };
        return b;
    }
    case ui::ControlKind::list: {
        auto* l = new QListWidget(this);
        l->setSelectionMode((c.style & ui::extended_selection) ? QAbstractItemView::ExtendedSelection
                                                               : QAbstractItemView::SingleSelection);
        l->setUniformItemSizes(true);
        if (c.style & ui::owner_drawn) l->setItemDelegate(new OwnerDrawDelegate(m_ctx, id, l));
        connect(l, &QListWidget::itemSelectionChanged, this, [this, l, id] {
            if (m_updating) return;
            std::vector<bool> selected(l->count(), false);
            for (QListWidgetItem* item : l->selectedItems())
                selected[l->row(item)] = true;
            ui::Driver(m_ctx).operator_selected(id, std::move(selected));
        });
        connect(l, &QListWidget::itemDoubleClicked, this,
                [&ctx, id](QListWidgetItem*) { ui::Driver(ctx).command(id, ui::Notify::double_clicked); });
        connect(l->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, l, id] {
            if (m_updating) return;
            const QModelIndex top = l->indexAt(QPoint(1, 1));
            ui::Driver(m_ctx).operator_scrolled(id, top.isValid() ? top.row() : 0);
        });
        return l;
    }
    case ui::ControlKind::progress: {
        auto* p = new QProgressBar(this);
        p->setTextVisible(false);
        return p;
    }
    case ui::ControlKind::picture: {
        auto* l = new QLabel(this);
        l->setPixmap(bitmap(c.text));
        return l;
    }
    case ui::ControlKind::group: return new QGroupBox(to_qt(c.text), this);
    }
    return new QWidget(this);
}

void FormWidget::control_added(const ui::Control& c) {
    control_removed(c.id);
    QWidget* w = create(c);
    if (c.font) w->setFont(font_of(*c.font));
    set_colours(w, c);
    if (!ui::takes_focus(c) && c.kind != ui::ControlKind::label) w->setFocusPolicy(Qt::NoFocus);
    place(w, c);
    m_widgets[c.id] = w;
    for (ui::Change what : {ui::Change::items, ui::Change::text, ui::Change::checked, ui::Change::enabled,
                            ui::Change::progress, ui::Change::selection})
        refresh(w, c, what);
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->installEventFilter(this);
    w->setVisible(c.visible);
}

void FormWidget::control_removed(int id) {
    auto it = m_widgets.find(id);
    if (it == m_widgets.end()) return;
    if (QWidget* w = it->second) {
        w->hide();
        w->deleteLater();
    }
    m_widgets.erase(it);
}

void FormWidget::control_changed(const ui::Control& c, ui::Change what) {
    auto it = m_widgets.find(c.id);
    if (it == m_widgets.end() || !it->second) return;
    refresh(it->second, c, what);
}

// A screen reader reads a line's accessible text in place of its own when the window gives one.
void FormWidget::set_spoken(QListWidgetItem* item, const ui::Control& c, int index) {
    if (const auto spoken = m_ctx.window().spoken_item(m_ctx, c.id, index))
        item->setData(Qt::AccessibleTextRole, to_qt(*spoken));
}

void FormWidget::fill_items(QWidget* w, const ui::Control& c) {
    QStringList texts;
    for (const std::string& s : c.items)
        texts << to_qt(s);
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->clear();
        l->addItems(texts);
        for (int i = 0; i < l->count(); ++i)
            set_spoken(l->item(i), c, i);
    } else if (auto* b = qobject_cast<QComboBox*>(w)) {
        b->clear();
        b->addItems(texts);
        b->setCurrentIndex(-1);
        if (b->isEditable()) b->setEditText(box_text(c.text));
    }
}

void FormWidget::refresh(QWidget* w, const ui::Control& c, ui::Change what) {
    m_updating = true;
    switch (what) {
    case ui::Change::text:
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != box_text(c.text)) e->setText(box_text(c.text));
        } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
            if (p->toPlainText() != plain_text_of(c.text)) {
                p->setPlainText(plain_text_of(c.text));
                show_selection(p, c); // a new text puts the caret where the window holds it
            }
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            if (c.kind == ui::ControlKind::picture) {
                l->setPixmap(bitmap(c.text));
                l->adjustSize();
            } else {
                l->setText(to_qt(c.text));
            }
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText((c.style & ui::multi_line) ? wrapped(to_qt(c.text), b->font(), b->width() - 6)
                                                  : to_qt(c.text));
            without_qt_shortcut(b);
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            g->setTitle(to_qt(c.text));
        } else if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->isEditable()) {
            cb->setEditText(box_text(c.text));
        }
        break;
    case ui::Change::checked:
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) b->setChecked(c.checked);
        break;
    case ui::Change::enabled: w->setEnabled(c.enabled); break;
    case ui::Change::visible: w->setVisible(c.visible); break;
    case ui::Change::items: fill_items(w, c); [[fallthrough]];
    case ui::Change::selection:
        if (QLineEdit* e = line_edit_of(w)) {
            if (what == ui::Change::selection)
                e->setSelection(c.selection.anchor, c.selection.caret - c.selection.anchor);
        }
        if (auto* p = qobject_cast<QPlainTextEdit*>(w); p && what == ui::Change::selection)
            show_selection(p, c);
        if (auto* l = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < l->count() && i < static_cast<int>(c.selected.size()); ++i)
                l->item(i)->setSelected(c.selected[i]);
            for (int i = 0; i < static_cast<int>(c.selected.size()); ++i)
                if (c.selected[i]) {
                    l->setCurrentRow(i, QItemSelectionModel::NoUpdate);
                    break;
                }
        } else if (auto* b = qobject_cast<QComboBox*>(w)) {
            int index = -1;
            for (int i = 0; i < static_cast<int>(c.selected.size()); ++i)
                if (c.selected[i]) index = i;
            b->setCurrentIndex(index);
            if (b->isEditable() && index < 0) b->setEditText(box_text(c.text));
        }
        break;
    case ui::Change::top_index:
        if (auto* l = qobject_cast<QListWidget*>(w); l && c.top_index < l->count())
            l->scrollToItem(l->item(c.top_index), QAbstractItemView::PositionAtTop);
        break;
    case ui::Change::progress:
        if (auto* p = qobject_cast<QProgressBar*>(w)) {
            // Long work runs on this thread, so the bar is painted there and then; but no more
            // often than the eye can follow, or painting would cost more than the work. (The bar
            // on its own would paint itself at once for every pixel it grows.)
            p->setUpdatesEnabled(false);
            p->setRange(c.minimum, c.maximum);
            p->setValue(c.value);
            p->setUpdatesEnabled(true);
            if (p->isVisible() && (!m_bar_painted.isValid() || m_bar_painted.hasExpired(k_bar_paint_ms))) {
                p->repaint();
                m_bar_painted.start();
            }
        }
        break;
    case ui::Change::redraw:
        if (auto* l = qobject_cast<QListWidget*>(w))
            l->viewport()->update();
        else
            w->update();
        break;
    case ui::Change::geometry: place(w, c); break;
    }
    m_updating = false;
}

void FormWidget::line_changed(const ui::Control& c, int index) {
    auto it = m_widgets.find(c.id);
    if (it == m_widgets.end() || !it->second || index < 0 || index >= static_cast<int>(c.items.size()))
        return;
    m_updating = true;
    if (auto* l = qobject_cast<QListWidget*>(it->second.data()); l && index < l->count()) {
        l->item(index)->setText(to_qt(c.items[index]));
        set_spoken(l->item(index), c, index);
    } else if (auto* b = qobject_cast<QComboBox*>(it->second.data()); b && index < b->count())
        b->setItemText(index, to_qt(c.items[index]));
    m_updating = false;
}

void FormWidget::focus_changed(int id) {
    auto it = m_widgets.find(id);
    if (it == m_widgets.end() || !it->second) return;
    m_updating = true;
    it->second->setFocus(Qt::OtherFocusReason);
    // The form chose the selection of a text box given the focus; the widget shows it.
    const ui::Control& c = m_ctx.control(id);
    if (QLineEdit* e = line_edit_of(it->second))
        e->setSelection(c.selection.anchor, c.selection.caret - c.selection.anchor);
    if (auto* p = qobject_cast<QPlainTextEdit*>(it->second.data())) show_selection(p, c);
    m_updating = false;
}

void FormWidget::caption_changed(const std::string& caption) {
    if (on_caption) on_caption(to_qt(caption));
}

void FormWidget::menu_changed(int id, const std::string& text) {
    if (on_menu_text) on_menu_text(id, to_qt(text));
}

void FormWidget::timer_started(int id, int milliseconds) {
    timer_stopped(id);
    auto* t = new QTimer(this);
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(std::max(milliseconds, 1));
    connect(t, &QTimer::timeout, this, [this, id] { ui::Driver(m_ctx).timer(id); });
    m_timers[id] = t;
    t->start();
}

void FormWidget::timer_stopped(int id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return;
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
}

void FormWidget::command_posted() {
    if (m_posted_pending) return;
    m_posted_pending = true;
    run_posted_when_shown(0);
}

void FormWidget::run_posted_when_shown(int tries) {
    // A window posts itself its long work so that it is on screen first: wait (a little) until
    // the window system shows it, then paint it once before the work begins.
    // Looked at every 2 ms for up to 200 ms: the window system usually shows a window within a
    // few milliseconds, and the work should not wait longer than that.
    QTimer::singleShot(tries == 0 ? 0 : 2, this, [this, tries] {
        QWidget* top = window();
        const QWindow* handle = top->windowHandle();
        if (top->isVisible() && handle && !handle->isExposed() && tries < 100) {
            run_posted_when_shown(tries + 1);
            return;
        }
        m_posted_pending = false;
        if (top->isVisible()) top->repaint();
        ui::Driver(m_ctx).run_posted();
    });
}

void FormWidget::closed() {
    for (auto& [id, t] : m_timers)
        t->stop();
    if (on_closed) on_closed();
}

bool FormWidget::takes_key(QKeyEvent* event) const {
    const auto stroke = stroke_of(event);
    return stroke && ui::Driver(m_ctx).takes_key(*stroke);
}

bool FormWidget::take_key(QKeyEvent* event) {
    const auto stroke = stroke_of(event);
    if (stroke && ui::Driver(m_ctx).key(*stroke)) return true;
    return type_key(event);
}

QLineEdit* FormWidget::line_edit_of(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e;
    if (auto* b = qobject_cast<QComboBox*>(w)) return b->lineEdit();
    return nullptr;
}

ui::TextSelection FormWidget::selection_of(const QLineEdit* e) {
    const int caret = e->cursorPosition();
    if (!e->hasSelectedText()) return {caret, caret};
    const int start = e->selectionStart();
    const int end = start + static_cast<int>(e->selectedText().size());
    return caret == start ? ui::TextSelection{end, start} : ui::TextSelection{start, end};
}

// A key for the focused text box: the window's typing rules decide what it holds; the widget
// only shows the result. Caret keys, the clipboard and undo stay the widget's own.
bool FormWidget::type_key(QKeyEvent* event) {
    const int id = m_ctx.focused();
    auto it = m_widgets.find(id);
    if (it == m_widgets.end() || !it->second || !ui::takes_typing(m_ctx.control(id))) return false;
    QLineEdit* line = line_edit_of(it->second);
    if (!line) return false;
    ui::Driver driver(m_ctx);
    driver.operator_selected_text(id, selection_of(line));
    const Qt::KeyboardModifiers m = event->modifiers();
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (m & (Qt::ControlModifier | Qt::AltModifier)) return false;
        driver.erase(event->key() == Qt::Key_Delete);
        return true;
    }
    if (m & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    const QString text = event->text();
    if (text.isEmpty() || text.front().unicode() < 0x20 || text.front().unicode() == 0x7F) return false;
    for (const char32_t ch : text.toStdU32String())
        if (!driver.type_character(ch)) QApplication::beep();
    return true;
}

bool FormWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool keyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                              reason == Qt::ShortcutFocusReason;
        if (const int id = id_of(watched); id != 0 && !m_updating)
            ui::Driver(m_ctx).operator_focused(id, keyboard ? ui::FocusBy::keyboard : ui::FocusBy::mouse);
    }
    return QWidget::eventFilter(watched, event);
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    ui::Point at{static_cast<int>(p.x()), static_cast<int>(p.y())};
    if (m_ctx.form().units == ui::Units::dialog)
        at = {static_cast<int>(p.x() / m_units.x), static_cast<int>(p.y() / m_units.y)};
    m_ctx.window().on_mouse_up(m_ctx, at);
}

} // namespace kestrel::platform
