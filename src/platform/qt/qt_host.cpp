#include "platform/qt/qt_host.hpp"

#include "platform/qt/form_widget.hpp"
#include "platform/qt/qt_printer.hpp"
#include "platform/qt/session_end.hpp"
#include "platform/qt/text.hpp"
#include "ui/context.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <map>

namespace kestrel::platform {

namespace {

QIcon program_icon(const std::string& name) {
    QIcon icon;
    const QString base = QString::fromStdString(name);
    for (const QString& suffix : {QString(), QStringLiteral("64")}) {
        const QString path = QStringLiteral(":/bitmaps/%1%2.png").arg(base, suffix);
        if (QFile::exists(path)) icon.addFile(path);
    }
    return icon;
}

QString plain_lines(const std::string& text) {
    QString s = to_qt(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// A dialog whose close box and keys go to its window controller.
class FormDialog final : public QDialog {
  public:
    FormDialog(ui::Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {}

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        // A window opened from another comes to the front even where no window manager stacks it.
        raise();
        activateWindow();
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (!m_ctx.is_closed()) m_ctx.window().on_close_box(m_ctx);
    }
    void reject() override {
        if (!m_ctx.is_closed()) m_ctx.window().on_cancel(m_ctx);
    }

  private:
    ui::Context& m_ctx;
};

class MainFrame final : public QMainWindow {
  public:
    explicit MainFrame(ui::Context& ctx) : m_ctx(ctx) {}
    std::map<int, QAction*> actions;

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (m_ctx.is_closed()) {
            event->accept();
            return;
        }
        event->ignore();
        m_ctx.window().on_close_box(m_ctx);
    }

  private:
    ui::Context& m_ctx;
};

void add_menu(QMenu* menu, const std::vector<ui::MenuItem>& items, ui::Context& ctx, MainFrame& frame) {
    for (const ui::MenuItem& item : items) {
        if (item.separator) {
            menu->addSeparator();
        } else if (!item.items.empty()) {
            add_menu(menu->addMenu(to_qt(item.text)), item.items, ctx, frame);
        } else {
            QAction* a = menu->addAction(to_qt(item.text));
            const int id = item.id;
            QObject::connect(a, &QAction::triggered, &frame,
                             [&ctx, id] { ui::Driver(ctx).command(id, ui::Notify::clicked); });
            frame.actions[id] = a;
        }
    }
}

} // namespace

QtHost::QtHost() : m_session_end(std::make_unique<SessionEnd>([this] { request_quit(); })) {
    qApp->installEventFilter(this);
}

void QtHost::request_quit() {
    if (m_quitting) return;
    m_quitting = true;
    close_top();
}

void QtHost::close_top() {
    if (m_open.empty()) return;
    // A box or a dialog of Qt's over the windows (a message, a file or print dialog) goes first,
    // as if cancelled; the window that asked then carries on and may close itself.
    QWidget* modal = QApplication::activeModalWidget();
    const bool ours =
        std::any_of(m_open.begin(), m_open.end(), [modal](const Open& o) { return o.top == modal; });
    if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && !ours) {
        dialog->reject();
    } else {
        Open& top = m_open.back();
        if (!top.ctx->is_closed()) top.ctx->window().on_close_box(*top.ctx);
    }
    // A window may take a while to close (work behind a progress bar runs to its end): look again.
    QTimer::singleShot(20, this, [this] { close_top(); });
}

QtHost::~QtHost() {
    if (qApp) qApp->removeEventFilter(this);
}

QWidget* QtHost::parent_widget(ui::Context* owner) const {
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
        if (it->ctx == owner) return it->top;
    return m_open.empty() ? nullptr : m_open.back().top.data();
}

QWidget* QtHost::widget_of(const ui::Context* ctx) const {
    for (const Open& o : m_open)
        if (o.ctx == ctx) return o.top;
    return nullptr;
}

int QtHost::run_modal(ui::Window& window, ui::Context* parent) {
    if (m_quitting) return ui::k_cancel; // the program is ending: no window opens now
    ui::Context ctx(*this, window, parent);
    ui::Driver(ctx).start();
    return ctx.form().main_window ? run_main(ctx) : run_dialog(ctx, parent);
}

int QtHost::run_main(ui::Context& ctx) {
    const ui::Form& form = ctx.form();
    MainFrame frame(ctx);
    auto* client = new FormWidget(ctx, &frame);
    frame.setCentralWidget(client);
    for (const ui::MenuItem& top : form.menu)
        add_menu(frame.menuBar()->addMenu(to_qt(top.text)), top.items, ctx, frame);
    frame.setWindowTitle(to_qt(form.caption));
    frame.setWindowIcon(program_icon(form.icon));
    frame.setWindowFlag(Qt::WindowMinimizeButtonHint, form.frame_style & ui::minimize_box);
    frame.setWindowFlag(Qt::WindowMaximizeButtonHint, form.frame_style & ui::maximize_box);
    client->build();
    frame.resize(client->client_size());
    if (!form.at_default_position) frame.move(form.frame.x, form.frame.y);

    QEventLoop loop;
    client->on_caption = [&frame](const QString& c) { frame.setWindowTitle(c); };
    client->on_menu_text = [&frame](int id, const QString& text) {
        if (auto it = frame.actions.find(id); it != frame.actions.end()) it->second->setText(text);
    };
    client->on_closed = [&loop, &frame] {
        frame.hide();
        loop.quit();
    };
    m_open.push_back({&ctx, &frame, client});
    ui::Driver(ctx).init();
    if (!ctx.is_closed()) {
        frame.show();
        loop.exec();
    }
    m_open.pop_back();
    return ctx.result();
}

int QtHost::run_dialog(ui::Context& ctx, ui::Context* parent) {
    const ui::Form& form = ctx.form();
    QWidget* owner = parent_widget(parent);
    FormDialog dialog(ctx, owner);
    auto* client = new FormWidget(ctx, &dialog);
    dialog.setWindowTitle(to_qt(form.caption));
    dialog.setWindowIcon(program_icon(form.icon));
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form.frame_style & ui::minimize_box) flags |= Qt::WindowMinimizeButtonHint;
    if (form.frame_style & ui::maximize_box) flags |= Qt::WindowMaximizeButtonHint;
    dialog.setWindowFlags(flags);
    client->build();
    const QSize size = client->client_size();
    client->setGeometry(0, 0, size.width(), size.height());
    if (form.frame_style & ui::sizing_border)
        dialog.resize(size);
    else
        dialog.setFixedSize(size);
    if (!form.at_default_position) {
        const QPoint offset = client->to_pixels({form.frame.x, form.frame.y});
        const QPoint origin = owner ? owner->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
        dialog.move(origin + offset);
    }
    client->on_caption = [&dialog](const QString& c) { dialog.setWindowTitle(c); };
    client->on_closed = [&dialog, &ctx] { dialog.done(ctx.result()); };
    m_open.push_back({&ctx, &dialog, client});
    ui::Driver(ctx).init();
    if (!ctx.is_closed()) dialog.exec();
    m_open.pop_back();
    return ctx.result();
}

bool QtHost::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || m_open.empty()) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    const Open& top = m_open.back();
    if (!w || !top.top || w->window() != top.top) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // Key letters and the window's keys are the window's: no Qt shortcut acts on them, the
        // key comes back as a key press.
        if (!top.client->takes_key(key)) return false;
        key->accept();
        return true;
    }
    return top.client->take_key(key);
}

void QtHost::fault(std::string_view what) {
    qWarning("kestrel: %.*s", static_cast<int>(what.size()), what.data());
}

ui::Answer QtHost::message_box(ui::Context* owner, const ui::Message& m) {
    if (m_quitting) {
        // Nobody is there to answer: what Enter would give, but never to go on with more work.
        if (m.default_answer) return *m.default_answer;
        switch (m.buttons) {
        case ui::Buttons::ok: return ui::Answer::ok;
        case ui::Buttons::ok_cancel:
        case ui::Buttons::retry_cancel: return ui::Answer::cancel;
        default: return ui::Answer::yes;
        }
    }
    QMessageBox box(parent_widget(owner));
    box.setWindowTitle(to_qt(m.title));
    box.setText(plain_lines(m.text));
    switch (m.icon) {
    case ui::Icon::none: box.setIcon(QMessageBox::NoIcon); break;
    case ui::Icon::information: box.setIcon(QMessageBox::Information); break;
    case ui::Icon::exclamation: box.setIcon(QMessageBox::Warning); break;
    case ui::Icon::question: box.setIcon(QMessageBox::Question); break;
    case ui::Icon::stop: box.setIcon(QMessageBox::Critical); break;
    }
    switch (m.buttons) {
    case ui::Buttons::ok: box.setStandardButtons(QMessageBox::Ok); break;
    case ui::Buttons::ok_cancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case ui::Buttons::yes_no: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case ui::Buttons::yes_no_cancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case ui::Buttons::retry_cancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    }
    if (m.default_answer) {
        switch (*m.default_answer) {
        case ui::Answer::yes: box.setDefaultButton(QMessageBox::Yes); break;
        case ui::Answer::no: box.setDefaultButton(QMessageBox::No); break;
        case ui::Answer::cancel: box.setDefaultButton(QMessageBox::Cancel); break;
        case ui::Answer::retry: box.setDefaultButton(QMessageBox::Retry); break;
        case ui::Answer::ok: box.setDefaultButton(QMessageBox::Ok); break;
        }
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return ui::Answer::yes;
    case QMessageBox::No: return ui::Answer::no;
    case QMessageBox::Retry: return ui::Answer::retry;
    case QMessageBox::Cancel: return ui::Answer::cancel;
    default: return m.buttons == ui::Buttons::yes_no ? ui::Answer::no : ui::Answer::ok;
    }
}

std::optional<std::string> QtHost::input_box(ui::Context* owner, const ui::InputRequest& request) {
    if (m_quitting) return std::nullopt;
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_widget(owner), to_qt(request.title), plain_lines(request.prompt),
                              QLineEdit::Normal, to_qt(request.initial), &ok);
    if (!ok) return std::nullopt;
    return from_qt(text);
}

std::optional<std::string> QtHost::open_file(ui::Context* owner, const ui::FileRequest& r) {
    if (m_quitting) return std::nullopt;
    QFileDialog dialog(parent_widget(owner), to_qt(r.title), QString::fromStdString(r.directory));
    // The name shown keeps its words; the patterns in brackets are what the dialog filters by.
    QString name = to_qt(r.filter_name);
    if (const int bracket = name.indexOf(QLatin1Char('(')); bracket > 0) name = name.left(bracket).trimmed();
    QString patterns = QString::fromStdString(r.patterns);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    dialog.setNameFilter(QStringLiteral("%1 (%2)").arg(name, patterns));
    dialog.setFileMode(r.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QString::fromStdString(r.default_extension));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (r.position) dialog.move(r.position->x, r.position->y);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return path_from_qt(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtHost::choose_directory(ui::Context* owner, const std::string& title,
                                                    const std::string& start) {
    if (m_quitting) return std::nullopt;
    const QString chosen = QFileDialog::getExistingDirectory(
        parent_widget(owner), to_qt(title), QFile::decodeName(start.c_str()),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return std::nullopt;
    return path_from_qt(chosen);
}

std::unique_ptr<printing::Printer> QtHost::choose_printer(ui::Context* owner) {
    if (m_quitting) return nullptr;
    return QtPrinter::choose(parent_widget(owner));
}

void QtHost::beep() {
    QApplication::beep();
}

void QtHost::wait_cursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

int QtHost::screen_height() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 480;
}

ui::Size QtHost::available_screen() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect area = screen->availableGeometry();
    return {area.width(), area.height()};
}

} // namespace kestrel::platform
