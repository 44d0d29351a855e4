#include "platform/qt/qt_main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>
#include <QUrl>
#include <cmath>

#include "platform/qt/app_icon.h"

namespace tsukio {

namespace {

constexpr int kClientWidth = 250;
constexpr int kClientHeight = 289;
constexpr char kFormFace[] = "ＭＳ Ｐゴシック";
constexpr char kAboutFace[] = "ＭＳ ゴシック";

QFont Face(const char* family, int pixels, bool bold = false) {
  QFont font(QString::fromUtf8(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename W>
W* Place(W* widget, int x, int y, int w, int h) {
  widget->setGeometry(x, y, w, h);
  return widget;
}

// Shows a state without reporting it back as the user's doing.
void Show(QAbstractButton* button, bool checked, bool enabled) {
  const QSignalBlocker block(button);
  button->setChecked(checked);
  button->setEnabled(enabled);
}

}  // namespace

QtMainWindow::QtMainWindow(MainWindowInput& input)
    : QWidget(nullptr,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      input_(input) {
  setFixedSize(kClientWidth, kClientHeight);
  setFont(Face(kFormFace, 12));
  setWindowIcon(QIcon(QPixmap::fromImage(AppIcon(64))));

  calendar_ = Place(new QtCalendarView(this), 0, 0, kClientWidth, kClientHeight);
  BuildAbout();
  close_ = Place(new QPushButton(QStringLiteral("とじる"), this), 40, 224, 169, 33);
  close_->setDefault(true);
  QObject::connect(close_, &QPushButton::clicked, [this] { input_.CloseClicked(); });
  BuildOptions();
}

void QtMainWindow::BuildOptions() {
  grpOptions_ = Place(new QGroupBox(QStringLiteral("設定"), this), 8, 8, 233, 265);
  grpOptions_->hide();
  tabs_ = Place(new QTabWidget(grpOptions_), 8, 24, 217, 193);
  tabs_->setFont(Face(kFormFace, 16));
  auto* visible = new QWidget;
  auto* behaviour = new QWidget;
  auto* time = new QWidget;
  for (QWidget* page : {visible, behaviour, time}) page->setFont(Face(kFormFace, 12));
  tabs_->addTab(visible, QStringLiteral("表示"));
  tabs_->addTab(behaviour, QStringLiteral("動作"));
  tabs_->addTab(time, QStringLiteral("時刻"));
  QObject::connect(tabs_, &QTabWidget::currentChanged,
                   [this](int index) { input_.TabShown(static_cast<OptionsTab>(index)); });

  const auto box = [this](QWidget* parent, const char* caption, OptionBox which, int x, int y,
                          int w, int h) {
    auto* check = Place(new QCheckBox(QString::fromUtf8(caption), parent), x, y, w, h);
    QObject::connect(check, &QCheckBox::clicked,
                     [this, which](bool checked) { input_.OptionBoxClicked(which, checked); });
    return check;
  };
  chkMonth_ = box(visible, "月", OptionBox::kMonth, 8, 16, 56, 17);
  chkWeek_ = box(visible, "曜日", OptionBox::kWeek, 64, 16, 72, 17);
  chkTime_ = box(visible, "時刻", OptionBox::kTime, 136, 16, 65, 17);
  chkNumber_ = box(visible, "週番号", OptionBox::kNumber, 8, 48, 80, 17);
  rdoNumber_ = Place(new QGroupBox(QStringLiteral("方式"), visible), 88, 48, 89, 65);
  rdoIso_ = Place(new QRadioButton(QStringLiteral("ISO"), rdoNumber_), 8, 18, 73, 17);
  rdoUsa_ = Place(new QRadioButton(QStringLiteral("USA "), rdoNumber_), 8, 40, 73, 17);
  QObject::connect(rdoIso_, &QRadioButton::clicked, [this] { input_.WeekRuleChosen(0); });
  QObject::connect(rdoUsa_, &QRadioButton::clicked, [this] { input_.WeekRuleChosen(1); });
  chk12h_ = box(visible, "12時間表記", OptionBox::k12h, 8, 128, 110, 17);
  chkEtc_ = box(visible, "その他", OptionBox::kEtc, 120, 128, 90, 17);

  chkAuto_ = box(behaviour, "1度だけ自動更新", OptionBox::kAuto, 8, 12, 161, 25);
  lblAuto_ = Place(new QLabel(QStringLiteral("更新時間（秒）"), behaviour), 24, 40, 120, 16);
  txtAuto_ = Place(new QLabel(behaviour), 24, 64, 41, 33);
  txtAuto_->setAlignment(Qt::AlignCenter);
  txtAuto_->setAutoFillBackground(true);
  QPalette white = txtAuto_->palette();
  white.setColor(QPalette::Window, Qt::white);
  txtAuto_->setPalette(white);
  txtAuto_->setFrameShape(QFrame::StyledPanel);
  autoUp_ = Place(new QToolButton(behaviour), 64, 64, 25, 17);
  autoDown_ = Place(new QToolButton(behaviour), 64, 81, 25, 16);
  autoUp_->setArrowType(Qt::UpArrow);
  autoDown_->setArrowType(Qt::DownArrow);
  QObject::connect(autoUp_, &QToolButton::clicked, [this] { input_.AutoArrowClicked(true); });
  QObject::connect(autoDown_, &QToolButton::clicked, [this] { input_.AutoArrowClicked(false); });
  chkStartup_ = box(behaviour, "ログイン時に起動", OptionBox::kStartup, 8, 112, 161, 25);

  chkTimeServer_ = box(time, "時刻あわせをする", OptionBox::kTimeServer, 8, 16, 169, 17);
  lblTimeServer_ = Place(new QLabel(QStringLiteral("設定方法"), time), 8, 48, 64, 16);
  rdoNtp_ = Place(new QRadioButton(QStringLiteral("NTP"), time), 72, 48, 64, 17);
  rdoHttp_ = Place(new QRadioButton(QStringLiteral("HTTP"), time), 136, 48, 73, 17);
  QObject::connect(rdoNtp_, &QRadioButton::clicked, [this] { input_.TimeMethodChosen(false); });
  QObject::connect(rdoHttp_, &QRadioButton::clicked, [this] { input_.TimeMethodChosen(true); });
  const auto server = [this, time](const char* caption, ServerField field, int y, QLabel*& label) {
    label = Place(new QLabel(QString::fromUtf8(caption), time), 8, y, 80, 24);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    auto* edit = Place(new QLineEdit(time), 88, y, 113, 24);
    QObject::connect(edit, &QLineEdit::textEdited, [this, field](const QString& text) {
      input_.ServerEdited(field, text.toStdString());
    });
    return edit;
  };
  txtNtp_ = server("NTPサーバー", ServerField::kNtp, 72, lblNtp_);
  txtHttp_ = server("HTTPサーバー", ServerField::kHttp, 96, lblHttp_);
  txtProxy_ = server("プロキシー", ServerField::kProxy, 120, lblProxy_);

  ok_ = Place(new QPushButton(QStringLiteral("決定"), grpOptions_), 8, 224, 89, 33);
  cancel_ = Place(new QPushButton(QStringLiteral("取り消し"), grpOptions_), 136, 224, 89, 33);
  QObject::connect(ok_, &QPushButton::clicked, [this] { input_.OkClicked(); });
  QObject::connect(cancel_, &QPushButton::clicked, [this] { input_.CancelClicked(); });
}

void QtMainWindow::BuildAbout() {
  gbox_ = Place(new QGroupBox(this), 8, 8, 233, 257);
  gbox_->setFont(Face(kAboutFace, 16));
  auto* icon = Place(new QLabel(gbox_), 8, 8, 32, 32);
  icon->setPixmap(QPixmap::fromImage(AppIcon(32)));
  const auto label = [this](const char* text, int x, int y, int w, bool bold) {
    auto* l = Place(new QLabel(QString::fromUtf8(text), gbox_), x, y, w, 18);
    if (bold) l->setFont(Face(kAboutFace, 16, true));
    return l;
  };
  label("プログラム名", 40, 48, 100, false);
  label("Tsukio", 144, 48, 80, true);
  label("バージョン", 40, 80, 100, false);
  label(TSUKIO_VERSION, 144, 80, 60, true);
  auto* notice = Place(new QLabel(gbox_), 16, 104, 201, 62);
  notice->setFont(Face(kFormFace, 12));
  notice->setAlignment(Qt::AlignCenter);
  notice->setWordWrap(true);
  notice->setText(QStringLiteral("© 2026 Quorv\nTsukio 開発チーム\n\n『月をめくる、毎日の暦』"));
  link_ = Place(new QLabel(gbox_), 8, 168, 217, 17);
  link_->setFont(Face(kFormFace, 12));
  link_->setAlignment(Qt::AlignCenter);
  link_->setTextFormat(Qt::RichText);
  link_->setText(QStringLiteral("<a href=\"link\" style=\"color:#0000FF\">%1</a>")
                     .arg(QString::fromUtf8(TSUKIO_HOMEPAGE).toHtmlEscaped()));
  link_->setToolTip(QStringLiteral("最新情報"));
  link_->setCursor(Qt::PointingHandCursor);
  QObject::connect(link_, &QLabel::linkActivated, [this] { input_.LinkClicked(); });
}

QCheckBox& QtMainWindow::Box(OptionBox box) {
  switch (box) {
    case OptionBox::kMonth:
      return *chkMonth_;
    case OptionBox::kWeek:
      return *chkWeek_;
    case OptionBox::kTime:
      return *chkTime_;
    case OptionBox::kNumber:
      return *chkNumber_;
    case OptionBox::k12h:
      return *chk12h_;
    case OptionBox::kEtc:
      return *chkEtc_;
    case OptionBox::kAuto:
      return *chkAuto_;
    case OptionBox::kTimeServer:
      return *chkTimeServer_;
    case OptionBox::kStartup:
      return *chkStartup_;
  }
  return *chkMonth_;
}

QLineEdit& QtMainWindow::Server(ServerField field) {
  return field == ServerField::kNtp    ? *txtNtp_
         : field == ServerField::kHttp ? *txtHttp_
                                       : *txtProxy_;
}

void QtMainWindow::Render(const MainWindowModel& model) {
  setWindowTitle(QString::fromStdString(model.caption));
  const OptionsPanel& p = model.options;
  optionsShown_ = p.shown;

  calendar_->Render(model.calendar);
  calendar_->setVisible(model.view == View::kCalendar);
  gbox_->setVisible(model.view == View::kAbout);
  grpOptions_->setVisible(p.shown);
  close_->setVisible(!p.shown);
  ok_->setDefault(p.shown);
  close_->setDefault(!p.shown);

  Show(chkMonth_, p.chkMonth.checked, p.chkMonth.enabled);
  Show(chkWeek_, p.chkWeek.checked, p.chkWeek.enabled);
  Show(chkTime_, p.chkTime.checked, p.chkTime.enabled);
  Show(chkNumber_, p.chkNumber.checked, p.chkNumber.enabled);
  Show(chk12h_, p.chk12h.checked, p.chk12h.enabled);
  Show(chkEtc_, p.chkEtc.checked, p.chkEtc.enabled);
  Show(chkAuto_, p.chkAuto.checked, p.chkAuto.enabled);
  Show(chkTimeServer_, p.chkTimeServer.checked, p.chkTimeServer.enabled);
  Show(chkStartup_, p.chkStartup.checked, p.chkStartup.enabled);
  rdoNumber_->setEnabled(p.rdoNumber.enabled);
  Show(rdoIso_, p.rdoNumberIndex == 0, true);
  Show(rdoUsa_, p.rdoNumberIndex == 1, true);
  Show(rdoNtp_, !p.httpSelected, p.rdoNtp.enabled);
  Show(rdoHttp_, p.httpSelected, p.rdoHttp.enabled);
  lblAuto_->setEnabled(p.lblAuto.enabled);
  txtAuto_->setEnabled(p.txtAuto.enabled);
  txtAuto_->setText(QString::number(p.autoSeconds));
  autoUp_->setEnabled(p.cmdAuto.enabled);
  autoDown_->setEnabled(p.cmdAuto.enabled);
  lblTimeServer_->setEnabled(p.lblTimeServer.enabled);
  lblNtp_->setEnabled(p.lblNtp.enabled);
  lblHttp_->setEnabled(p.lblHttp.enabled);
  lblProxy_->setEnabled(p.lblProxy.enabled);
  const auto field = [](QLineEdit* edit, const TextField& model) {
    const QSignalBlocker block(edit);
    if (edit->text().toStdString() != model.text) edit->setText(QString::fromStdString(model.text));
    edit->setEnabled(model.enabled);
  };
  field(txtNtp_, p.txtNtpServer);
  field(txtHttp_, p.txtHttpServer);
  field(txtProxy_, p.txtProxyServer);
  {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(static_cast<int>(p.tab));
  }

  if (!model.visible) {
    hide();
    return;
  }
  // Drawn again while shown (a step of the calendar, a click in the options) it stays where
  // the user has put it; only a window that appears is centred and brought forward.
  if (isVisible()) return;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  show();
  raise();
  activateWindow();
  if (!p.shown) close_->setFocus();
}

Image QtMainWindow::Picture(const MainWindowModel& model) {
  // Drawn without being shown: a picture needs no window on a screen.
  MainWindowModel unseen = model;
  unseen.visible = false;
  Render(unseen);
  const QImage shot = grab().toImage().convertToFormat(QImage::Format_ARGB32);
  Image picture(shot.width(), shot.height());
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) picture.at(x, y) = shot.pixel(x, y);
  }
  return picture;
}

void QtMainWindow::Close() {
  QCoreApplication::exit(0);
}

void QtMainWindow::ShowError(std::string_view message) {
  QMessageBox::critical(isVisible() ? this : nullptr, QStringLiteral("Tsukio"), Text(message));
}

void QtMainWindow::OpenUrl(std::string_view address) {
  QDesktopServices::openUrl(QUrl(Text(address)));
}

int QtMainWindow::DisplayDpi() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

// The window manager's close hides the window, as とじる does; the program goes on.
void QtMainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (optionsShown_) {
    input_.CancelClicked();
  } else {
    input_.CloseClicked();
  }
}

// Enter and Esc reach 決定 and 取り消し while the options are shown, else とじる.
void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (event->key() == Qt::Key_Escape) {
    optionsShown_ ? input_.CancelClicked() : input_.CloseClicked();
    return;
  }
  if (enter) {
    optionsShown_ ? input_.OkClicked() : input_.CloseClicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tsukio
