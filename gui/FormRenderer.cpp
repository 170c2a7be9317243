#include "gui/FormRenderer.h"

#include "gui/InstrumentTextQt.h"
#include "gui/PlotWidget.h"

#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/OptionButton.h"
#include "ui/Plot.h"
#include "ui/ProgressBar.h"
#include "ui/RichTextBox.h"
#include "ui/TabStrip.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <cmath>

namespace zem::gui {

namespace {

constexpr int kTwipsPerPixel = 15;
// Beside a fitted column's text: the cell margins and a little air before the next column.
constexpr int kCellRoom = 12;

// Captions, menus and headers: the program's own texts, with a path or an instrument's name in some.
QString Q(const std::string& text) { return ShownCaption(text); }
// The data a form holds (typed texts, list entries) is kept in the instrument's 8-bit characters.
QString Data(const std::string& text) { return Shown(text); }
QString DataLines(const std::string& text) { return Data(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// Multi-line texts are kept with CR LF, as the windows write them.
QString Lines(const std::string& text) { return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
QString CrLf(const QString& text) { return QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")); }

// The text typed into `box` as the form keeps it. A character the instrument cannot hold is
// refused where it was typed, the reason shown beside the box, which goes back to the form's text.
std::optional<std::string> TypedInto(QWidget* box, const QString& text)
{
    QString refusal;
    auto typed = Typed(text, &refusal);
    if (!typed) {
        QApplication::beep();
        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), refusal, box);
    }
    return typed;
}

// "&Name" shown without an access key: the "&" goes, "&&" stays one "&".
QString WithoutAccessKey(const std::string& caption)
{
    QString out;
    const QString text = Q(caption);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

bool TakesFocus(ui::ControlKind kind)
{
    switch (kind) {
    case ui::ControlKind::TextBox:
    case ui::ControlKind::RichTextBox:
    case ui::ControlKind::CommandButton:
    case ui::ControlKind::CheckBox:
    case ui::ControlKind::OptionButton:
    case ui::ControlKind::ComboBox:
    case ui::ControlKind::ListBox:
    case ui::ControlKind::ListView:
    case ui::ControlKind::TabStrip:
        return true;
    default:
        return false;
    }
}

// The controls that take the room a larger window gives.
bool Grows(ui::ControlKind kind)
{
    return kind == ui::ControlKind::ListView || kind == ui::ControlKind::Plot || kind == ui::ControlKind::RichTextBox;
}

QPixmap Draw(ui::Picture picture)
{
    // An indicator is no taller than the row of text it stands in, at any scaling.
    const bool indicatore = picture == ui::Picture::IndicatorOn || picture == ui::Picture::IndicatorOff;
    QPixmap pixmap(indicatore ? 16 : 32, indicatore ? 16 : 32);
    pixmap.fill(Qt::transparent);
    if (picture == ui::Picture::None) return pixmap;
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case ui::Picture::Hourglass: {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(230, 190, 90));
        const QPointF top[] = {{6, 3}, {26, 3}, {16, 16}};
        const QPointF bottom[] = {{16, 16}, {26, 29}, {6, 29}};
        p.drawPolygon(top, 3);
        p.drawPolygon(bottom, 3);
        break;
    }
    case ui::Picture::Warning: {
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(QColor(250, 200, 0));
        const QPointF triangle[] = {{16, 3}, {30, 29}, {2, 29}};
        p.drawPolygon(triangle, 3);
        p.drawText(QRectF(2, 9, 28, 20), Qt::AlignCenter, QStringLiteral("!"));
        break;
    }
    case ui::Picture::IndicatorOn:
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(0, 190, 0));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        break;
    case ui::Picture::IndicatorOff:
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1, 1, 14, 14));
        break;
    case ui::Picture::None:
        break;
    }
    return pixmap;
}

} // namespace

int FormRenderer::Pixels(int twips) { return static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel))); }

bool FormRenderer::HasMenus(const ui::Form& form)
{
    for (const ui::Control* control : form.Controls())
        if (control->Kind() == ui::ControlKind::Menu) return true;
    return false;
}

FormRenderer::FormRenderer(ui::Form& form, QWidget* client, QMenuBar* menuBar)
    : form_(form), client_(client)
{
    for (ui::Control* control : form_.Controls()) {
        if (control->Kind() == ui::ControlKind::Timer) {
            auto* timer = new QTimer(this);
            timer->setObjectName(Q(control->Key()));
            auto* model = static_cast<ui::Timer*>(control);
            connect(timer, &QTimer::timeout, this, [model] { model->Tick(); });
            objects_[control] = timer;
            controls_[timer] = control;
        } else if (control->Kind() == ui::ControlKind::Menu) {
            auto* menu = static_cast<ui::Menu*>(control);
            if (menu->Parent() == nullptr && menuBar != nullptr) BuildMenu(*menu, menuBar);
        } else {
            Build(*control);
        }
    }
    LinkBuddies();
    for (ui::Control* control : form_.Controls()) Apply(*control);
    form_.SetObserver(this);
    if (form_.Sizable()) client_->installEventFilter(this);
}

FormRenderer::~FormRenderer()
{
    if (attached_ && form_.Observer() == this) form_.SetObserver(nullptr);
}

QObject* FormRenderer::ObjectFor(const ui::Control& control) const
{
    const auto it = objects_.find(&control);
    return it == objects_.end() ? nullptr : it->second;
}

QWidget* FormRenderer::Build(ui::Control& control)
{
    if (auto* built = qobject_cast<QWidget*>(ObjectFor(control))) return built;
    QWidget* parent = control.Container() != nullptr ? Build(*control.Container()) : client_;
    QWidget* widget = Create(control, parent);
    widget->setObjectName(Q(control.Key()));
    objects_[&control] = widget;
    controls_[widget] = &control;
    return widget;
}

QWidget* FormRenderer::Create(ui::Control& control, QWidget* parent)
{
    switch (control.Kind()) {
    case ui::ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ui::ControlKind::TextBox: {
        auto& model = static_cast<ui::TextBox&>(control);
        if (model.MultiLine()) {
            auto* edit = new QPlainTextEdit(parent);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, &model, edit] {
                if (const auto typed = TypedInto(edit, CrLf(edit->toPlainText()))) model.UserType(*typed);
                Apply(model);
            });
            return edit;
        }
        auto* edit = new QLineEdit(parent);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, &model, edit](const QString& text) {
            if (const auto typed = TypedInto(edit, text)) model.UserType(*typed);
            Apply(model);
        });
        return edit;
    }
    case ui::ControlKind::RichTextBox: {
        auto& model = static_cast<ui::RichTextBox&>(control);
        auto* edit = new QPlainTextEdit(parent);
        connect(edit, &QPlainTextEdit::textChanged, this, [this, &model, edit] {
            if (const auto typed = TypedInto(edit, CrLf(edit->toPlainText()))) model.UserType(*typed);
            Apply(model);
        });
        return edit;
    }
    case ui::ControlKind::CommandButton: {
        auto& model = static_cast<ui::CommandButton&>(control);
        auto* button = new QPushButton(parent);
        connect(button, &QPushButton::clicked, this, [&model] { model.UserClick(); });
        return button;
    }
    case ui::ControlKind::CheckBox: {
        auto& model = static_cast<ui::CheckBox&>(control);
        auto* box = new QCheckBox(parent);
        connect(box, &QCheckBox::clicked, this, [this, &model] {
            model.UserClick();
            Apply(model);
        });
        return box;
    }
    case ui::ControlKind::OptionButton: {
        auto& model = static_cast<ui::OptionButton&>(control);
        auto* option = new QRadioButton(parent);
        option->setAutoExclusive(false);  // the form's groups decide
        connect(option, &QRadioButton::clicked, this, [this, &model] {
            model.UserClick();
            Apply(model);
        });
        return option;
    }
    case ui::ControlKind::ComboBox: {
        auto& model = static_cast<ui::ComboBox&>(control);
        auto* combo = new QComboBox(parent);
        connect(combo, &QComboBox::activated, this, [this, &model](int index) {
            model.UserChoose(index);
            Apply(model);
        });
        return combo;
    }
    case ui::ControlKind::ListBox: {
        auto& model = static_cast<ui::ListBox&>(control);
        auto* list = new QListWidget(parent);
        connect(list, &QListWidget::currentRowChanged, this, [this, &model](int row) {
            model.UserChoose(row);
            Apply(model);
        });
        return list;
    }
    case ui::ControlKind::ListView: {
        auto& model = static_cast<ui::ListView&>(control);
        auto* view = new QTreeWidget(parent);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        connect(view, &QTreeWidget::currentItemChanged, this, [this, &model, view](QTreeWidgetItem* item) {
            if (item == nullptr) return;
            model.UserClickItem(view->indexOfTopLevelItem(item));
            Apply(model);
        });
        connect(view, &QTreeWidget::itemDoubleClicked, this, [&model] { model.UserDoubleClick(); });
        return view;
    }
    case ui::ControlKind::TabStrip: {
        auto& model = static_cast<ui::TabStrip&>(control);
        auto* tabs = new QTabBar(parent);
        tabs->setExpanding(false);
        connect(tabs, &QTabBar::currentChanged, this, [this, &model](int index) {
            model.UserClickTab(index);
            Apply(model);
        });
        return tabs;
    }
    case ui::ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case ui::ControlKind::Frame:
        return new QGroupBox(parent);
    case ui::ControlKind::Image: {
        auto* image = new QLabel(parent);
        image->setScaledContents(false);
        image->setAlignment(Qt::AlignCenter);  // a small indicator shows the middle of its picture
        return image;
    }
    case ui::ControlKind::Plot:
        return new PlotWidget(static_cast<ui::Plot&>(control), parent);
    case ui::ControlKind::Menu:
    case ui::ControlKind::Timer:
        break;
    }
    return new QWidget(parent);
}

void FormRenderer::BuildMenu(ui::Menu& menu, QWidget* parent)
{
    QAction* action = nullptr;
    if (!menu.Items().empty()) {
        auto* submenu = new QMenu(parent);
        submenu->setObjectName(Q(menu.Key()));
        if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
            bar->addMenu(submenu);
        } else {
            qobject_cast<QMenu*>(parent)->addMenu(submenu);
        }
        action = submenu->menuAction();
        for (ui::Menu* item : menu.Items()) BuildMenu(*item, submenu);
    } else {
        action = new QAction(parent);
        parent->addAction(action);
        connect(action, &QAction::triggered, this, [this, &menu] {
            menu.UserClick();
            ApplyMenu(menu);
        });
    }
    action->setObjectName(Q(menu.Key()));
    objects_[&menu] = action;
    controls_[action] = &menu;
}

// A label's access key moves the focus to the control that follows it, as on the original forms.
void FormRenderer::LinkBuddies()
{
    const auto& controls = form_.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i]->Kind() != ui::ControlKind::Label) continue;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (!TakesFocus(controls[j]->Kind())) continue;
            auto* label = qobject_cast<QLabel*>(ObjectFor(*controls[i]));
            label->setBuddy(qobject_cast<QWidget*>(ObjectFor(*controls[j])));
            break;
        }
    }
    QWidget* previous = nullptr;
    for (ui::Control* control : controls) {
        if (!TakesFocus(control->Kind())) continue;
        auto* widget = qobject_cast<QWidget*>(ObjectFor(*control));
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void FormRenderer::Apply(ui::Control& control)
{
    QObject* object = ObjectFor(control);
    if (object == nullptr) return;
    if (control.Kind() == ui::ControlKind::Menu) return ApplyMenu(static_cast<ui::Menu&>(control));
    if (control.Kind() == ui::ControlKind::Timer) {
        auto& model = static_cast<ui::Timer&>(control);
        auto* timer = static_cast<QTimer*>(object);
        if (model.Running()) {
            timer->start(model.Interval());
        } else {
            timer->stop();
        }
        return;
    }
    auto* widget = static_cast<QWidget*>(object);
    const QSignalBlocker blocker(widget);
    ApplyWidget(control, widget);
    widget->setEnabled(control.Enabled());
    widget->setToolTip(Q(control.ToolTipText()));
    if (control.Width() > 0 && control.Height() > 0) {
        widget->setGeometry(Stretched(control, QRect(Pixels(control.Left()), Pixels(control.Top()),
                                                     Pixels(control.Width()), Pixels(control.Height()))));
    } else {
        widget->adjustSize();
        widget->move(Pixels(control.Left()), Pixels(control.Top()));
    }
    widget->setVisible(control.Visible());
}

void FormRenderer::ApplyWidget(ui::Control& control, QWidget* widget)
{
    switch (control.Kind()) {
    case ui::ControlKind::Label: {
        auto& model = static_cast<ui::Label&>(control);
        auto* label = static_cast<QLabel*>(widget);
        label->setText(label->buddy() != nullptr ? Lines(model.Caption()) : WithoutAccessKey(model.Caption()));
        break;
    }
    case ui::ControlKind::TextBox: {
        auto& model = static_cast<ui::TextBox&>(control);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setMaxLength(model.MaxLength() > 0 ? model.MaxLength() : 32767);
            edit->setReadOnly(model.Locked());
            edit->setEchoMode(model.PasswordChar() != 0 ? QLineEdit::Password : QLineEdit::Normal);
            if (edit->text() != Data(model.Text())) edit->setText(Data(model.Text()));
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
            text->setReadOnly(model.Locked());
            if (text->toPlainText() != DataLines(model.Text())) text->setPlainText(DataLines(model.Text()));
        }
        break;
    }
    case ui::ControlKind::RichTextBox: {
        auto& model = static_cast<ui::RichTextBox&>(control);
        auto* text = static_cast<QPlainTextEdit*>(widget);
        text->setReadOnly(model.Locked());
        if (!model.FontName().empty()) text->setFont(QFont(Q(model.FontName())));
        const QString shown = DataLines(model.Text());
        if (text->toPlainText() != shown) text->setPlainText(shown);
        break;
    }
    case ui::ControlKind::CommandButton: {
        auto& model = static_cast<ui::CommandButton&>(control);
        auto* button = static_cast<QPushButton*>(widget);
        button->setText(Q(model.Caption()));
        button->setDefault(model.Default());
        break;
    }
    case ui::ControlKind::CheckBox: {
        auto& model = static_cast<ui::CheckBox&>(control);
        auto* box = static_cast<QCheckBox*>(widget);
        box->setText(Q(model.Caption()));
        box->setChecked(model.Checked());
        break;
    }
    case ui::ControlKind::OptionButton: {
        auto& model = static_cast<ui::OptionButton&>(control);
        auto* option = static_cast<QRadioButton*>(widget);
        option->setText(Q(model.Caption()));
        option->setChecked(model.Value());
        break;
    }
    case ui::ControlKind::ComboBox: {
        auto& model = static_cast<ui::ComboBox&>(control);
        auto* combo = static_cast<QComboBox*>(widget);
        bool same = combo->count() == model.ListCount();
        for (int i = 0; same && i < model.ListCount(); ++i) same = combo->itemText(i) == Data(model.List(i));
        if (!same) {
            combo->clear();
            for (int i = 0; i < model.ListCount(); ++i) combo->addItem(Data(model.List(i)));
        }
        combo->setCurrentIndex(model.ListIndex());
        break;
    }
    case ui::ControlKind::ListBox: {
        auto& model = static_cast<ui::ListBox&>(control);
        auto* list = static_cast<QListWidget*>(widget);
        while (list->count() > model.ListCount()) delete list->takeItem(list->count() - 1);
        while (list->count() < model.ListCount()) list->addItem(QString());
        for (int i = 0; i < model.ListCount(); ++i)
            if (list->item(i)->text() != Data(model.List(i))) list->item(i)->setText(Data(model.List(i)));
        list->setCurrentRow(model.ListIndex());
        break;
    }
    case ui::ControlKind::ListView: {
        auto& model = static_cast<ui::ListView&>(control);
        auto* view = static_cast<QTreeWidget*>(widget);
        const int columns = std::max(1, model.ColumnCount());
        view->setColumnCount(columns);
        view->setHeaderHidden(model.ColumnCount() == 0);
        QStringList headers;
        for (const auto& column : model.Columns()) headers << Q(column.text);
        view->setHeaderLabels(headers);
        for (int c = 0; c < model.ColumnCount(); ++c)
            view->setColumnWidth(c, Pixels(model.Columns()[static_cast<std::size_t>(c)].width));
        view->setSelectionBehavior(model.FullRowSelect() ? QAbstractItemView::SelectRows
                                                         : QAbstractItemView::SelectItems);
        while (view->topLevelItemCount() > model.ItemCount())
            delete view->takeTopLevelItem(view->topLevelItemCount() - 1);
        while (view->topLevelItemCount() < model.ItemCount()) view->addTopLevelItem(new QTreeWidgetItem);
        for (int i = 0; i < model.ItemCount(); ++i) {
            QTreeWidgetItem* item = view->topLevelItem(i);
            for (int c = 0; c < columns; ++c)
                if (item->text(c) != Data(model.ItemText(i, c))) {
                    item->setText(c, Data(model.ItemText(i, c)));
                    item->setToolTip(c, item->text(c));  // the whole text, should a column be narrowed
                }
        }
        if (model.ColumnsFitText())
            for (int c = 0; c < model.ColumnCount(); ++c) {
                const int given = view->columnWidth(c);
                view->resizeColumnToContents(c);
                view->setColumnWidth(c, std::max(given, view->columnWidth(c) + kCellRoom));
            }
        if (model.SelectedIndex() >= 0) {
            view->setCurrentItem(view->topLevelItem(model.SelectedIndex()));
        } else {
            view->setCurrentItem(nullptr);
            view->clearSelection();
        }
        break;
    }
    case ui::ControlKind::TabStrip: {
        auto& model = static_cast<ui::TabStrip&>(control);
        auto* tabs = static_cast<QTabBar*>(widget);
        while (tabs->count() > model.TabCount()) tabs->removeTab(tabs->count() - 1);
        while (tabs->count() < model.TabCount()) tabs->addTab(QString());
        for (int i = 0; i < model.TabCount(); ++i) {
            tabs->setTabText(i, Q(model.TabCaption(i)));
            tabs->setTabToolTip(i, Q(model.TabToolTip(i)));
        }
        if (model.SelectedIndex() >= 0) tabs->setCurrentIndex(model.SelectedIndex());
        break;
    }
    case ui::ControlKind::ProgressBar: {
        auto& model = static_cast<ui::ProgressBar&>(control);
        auto* bar = static_cast<QProgressBar*>(widget);
        bar->setRange(model.Min(), model.Max());
        bar->setValue(model.Value());
        break;
    }
    case ui::ControlKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(Q(static_cast<ui::Frame&>(control).Caption()));
        break;
    case ui::ControlKind::Image: {
        const auto picture = static_cast<ui::Image&>(control).GetPicture();
        static_cast<QLabel*>(widget)->setPixmap(Draw(picture));
        break;
    }
    case ui::ControlKind::Plot:
        widget->update();
        break;
    case ui::ControlKind::Menu:
    case ui::ControlKind::Timer:
        break;
    }
}

void FormRenderer::ApplyMenu(ui::Menu& menu)
{
    auto* action = qobject_cast<QAction*>(ObjectFor(menu));
    if (action == nullptr) return;
    const QSignalBlocker blocker(action);
    action->setSeparator(menu.IsSeparator());
    if (!menu.IsSeparator()) action->setText(Q(menu.Caption()));
    action->setShortcut(QKeySequence(Q(menu.Shortcut())));
    action->setEnabled(menu.Enabled());
    action->setVisible(menu.Visible());
    action->setCheckable(menu.Checked());
    action->setChecked(menu.Checked());
}

QRect FormRenderer::Stretched(const ui::Control& control, QRect rect) const
{
    if (extra_.isNull() || control.Container() != nullptr) return rect;
    if (Grows(control.Kind())) return rect.adjusted(0, 0, extra_.width(), extra_.height());
    // Below a growing control: down with its bottom edge; in the right half: right with its right edge.
    for (const ui::Control* other : form_.Controls()) {
        if (!Grows(other->Kind()) || other->Container() != nullptr) continue;
        if (control.Top() >= other->Top() + other->Height()) rect.translate(0, extra_.height());
        break;
    }
    if (2 * control.Left() > form_.Width()) rect.translate(extra_.width(), 0);
    return rect;
}

bool FormRenderer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        const QSize extra = client_->size() - QSize(Pixels(form_.Width()), Pixels(form_.Height()));
        const QSize grown(std::max(0, extra.width()), std::max(0, extra.height()));
        if (grown != extra_) {
            extra_ = grown;
            for (ui::Control* control : form_.Controls())
                if (control->Container() == nullptr) Apply(*control);
        }
    }
    if (event->type() == QEvent::FocusIn) {
        const auto it = controls_.find(watched);
        if (it != controls_.end() && it->second->Kind() == ui::ControlKind::TextBox
            && static_cast<ui::TextBox*>(it->second)->SelectOnFocus()) {
            auto* edit = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FormRenderer::ControlChanged(ui::Control& control) { Apply(control); }

void FormRenderer::FormChanged(ui::Form&) { emit formChanged(); }

void FormRenderer::FormClosed(ui::Form& form)
{
    // The timers die with the window; the form may be shown again by another renderer.
    for (auto& [control, object] : objects_)
        if (auto* timer = qobject_cast<QTimer*>(object)) timer->stop();
    if (form.Observer() == this) form.SetObserver(nullptr);
    attached_ = false;
    emit formClosed();
}

} // namespace zem::gui
