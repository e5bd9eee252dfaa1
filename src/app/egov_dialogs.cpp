#include "app/egov_dialogs.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavrel::gui {

namespace {

// Typing pauses this long before the search goes out.
constexpr int kSearchDelayMs = 400;

QTreeWidget* lawList(QWidget* parent, const QString& name, const QStringList& headers) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(headers);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setStretchLastSection(false);
    for (int c = 1; c < headers.size(); ++c) list->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    return list;
}

QString dateText(const QString& isoDate) { return isoDate.isEmpty() ? QStringLiteral("不明") : isoDate; }

}  // namespace

AddLawsDialog::AddLawsDialog(const egov_online::ClientSettings& settings, QWidget* parent)
    : QDialog(parent), client_(settings) {
    setObjectName(QStringLiteral("addLawsDialog"));
    setWindowTitle(QStringLiteral("法令を追加（e-Gov）"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(QStringLiteral("法令名（一部でも可）、法令番号または法令ID："), this);
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("egovTitle"));
    title_->setPlaceholderText(QStringLiteral("例：建築基準法、昭和二十五年法律第二百一号"));
    prompt->setBuddy(title_);
    status_ = new QLabel(QStringLiteral("法令名を入力すると、e-Gov 法令検索から探します。"), this);
    status_->setObjectName(QStringLiteral("egovStatus"));
    status_->setWordWrap(true);
    results_ = lawList(this, QStringLiteral("egovResults"),
                       {QStringLiteral("法令名"), QStringLiteral("法令番号"), QStringLiteral("種別"),
                        QStringLiteral("施行日")});
    results_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* source = new QLabel(QStringLiteral("法令データ：e-Gov 法令検索（デジタル庁）"), this);
    auto* buttons = new QDialogButtonBox(this);
    add_ = buttons->addButton(QStringLiteral("追加"), QDialogButtonBox::AcceptRole);
    add_->setObjectName(QStringLiteral("egovAdd"));
    add_->setEnabled(false);
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(prompt);
    layout->addWidget(title_);
    layout->addWidget(status_);
    layout->addWidget(results_, 1);
    layout->addWidget(source);
    layout->addWidget(buttons);
    resize(720, 420);

    debounce_.setSingleShot(true);
    debounce_.setInterval(kSearchDelayMs);
    connect(&debounce_, &QTimer::timeout, this, &AddLawsDialog::search);
    connect(title_, &QLineEdit::textEdited, this, [this]() { debounce_.start(); });
    connect(title_, &QLineEdit::returnPressed, this, [this]() {
        debounce_.stop();
        search();
    });
    connect(results_, &QTreeWidget::itemSelectionChanged, this,
            [this]() { add_->setEnabled(!results_->selectedItems().isEmpty()); });
    connect(results_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void AddLawsDialog::search() {
    // Only the answer to the latest text counts.
    client_.cancelAll();
    const QString text = title_->text().trimmed();
    results_->clear();
    if (text.isEmpty()) {
        status_->setText(QStringLiteral("法令名を入力すると、e-Gov 法令検索から探します。"));
        return;
    }
    status_->setText(QStringLiteral("e-Govで「%1」を検索しています…").arg(text));
    client_.searchLaws(text, [this](const QList<egov_online::LawEntry>& laws, const QString& error) {
        if (error != egov_online::cancelledMessage()) showResults(laws, error);
    });
}

void AddLawsDialog::showResults(const QList<egov_online::LawEntry>& laws, const QString& error) {
    results_->clear();
    if (!error.isEmpty()) {
        status_->setText(error);
        return;
    }
    for (const egov_online::LawEntry& law : laws) {
        auto* item = new QTreeWidgetItem(results_, {law.title, law.lawNum, egov_online::lawTypeName(law.lawType),
                                                    dateText(law.enforcementDate)});
        item->setData(0, Qt::UserRole, law.lawId);
        item->setData(1, Qt::UserRole, law.revisionId);
        item->setToolTip(0, law.lawId);
    }
    status_->setText(laws.isEmpty() ? QStringLiteral("該当する法令は見つかりませんでした。")
                                    : QStringLiteral("%1件見つかりました。追加する法令を選んで［追加］を押してください。")
                                          .arg(laws.size()));
}

QList<egov_online::LawToDownload> AddLawsDialog::chosenLaws() const {
    QList<egov_online::LawToDownload> laws;
    for (const QTreeWidgetItem* item : results_->selectedItems())
        laws.push_back({item->data(0, Qt::UserRole).toString(), item->data(1, Qt::UserRole).toString()});
    return laws;
}

LawUpdatesDialog::LawUpdatesDialog(const egov_online::ClientSettings& settings,
                                   const QList<egov_online::ImportedLaw>& laws, QWidget* parent)
    : QDialog(parent), client_(settings), check_(client_, laws), lawCount_(int(laws.size())) {
    setObjectName(QStringLiteral("lawUpdatesDialog"));
    setWindowTitle(QStringLiteral("法令の更新を確認"));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("egovStatus"));
    status_->setWordWrap(true);
    list_ = lawList(this, QStringLiteral("egovChanges"),
                    {QStringLiteral("法令名"), QStringLiteral("取り込んだ版"), QStringLiteral("現在の版"),
                     QStringLiteral("改正法令")});
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    auto* buttons = new QDialogButtonBox(this);
    update_ = buttons->addButton(QStringLiteral("更新"), QDialogButtonBox::AcceptRole);
    update_->setObjectName(QStringLiteral("egovUpdate"));
    update_->setEnabled(false);
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(status_);
    layout->addWidget(list_, 1);
    layout->addWidget(new QLabel(QStringLiteral("法令データ：e-Gov 法令検索（デジタル庁）"), this));
    layout->addWidget(buttons);
    resize(720, 360);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&check_, &egov_online::UpdateCheck::finished, this, &LawUpdatesDialog::showChanges);
    connect(&check_, &egov_online::UpdateCheck::progress, this, [this](int done, int total) {
        status_->setText(QStringLiteral("e-Govで現在の版を確認しています…（%1／%2）").arg(done).arg(total));
    });

    if (laws.isEmpty()) {
        status_->setText(QStringLiteral("確認する法令がありません。e-Govからの追加や法令XMLの取り込みで"
                                        "取り込んだ法令が確認の対象です。"));
        return;
    }
    check_.start();
}

void LawUpdatesDialog::showChanges(const QList<egov_online::LawChange>& changes, const QString& error) {
    changes_ = changes;
    if (!error.isEmpty()) {
        status_->setText(error);
        return;
    }
    for (const egov_online::LawChange& c : changes)
        new QTreeWidgetItem(list_, {c.current.title, dateText(c.oldDate), dateText(c.current.enforcementDate),
                                    c.current.amendLawNum});
    update_->setEnabled(!changes.isEmpty());
    status_->setText(changes.isEmpty()
                         ? QStringLiteral("取り込んだ%1件の法令は、すべてe-Govの現在の版と同じです。").arg(lawCount_)
                         : QStringLiteral("取り込んだ%1件の法令のうち%2件が、取り込んだ後に改正されています。"
                                          "［更新］で現在の版に置き換えます。")
                               .arg(lawCount_)
                               .arg(changes.size()));
    if (check_.skipped() > 0)
        status_->setText(status_->text() +
                         QStringLiteral("（e-Govの法令IDが記録されていない%1件は確認できません。）").arg(check_.skipped()));
}

QList<egov_online::LawToDownload> LawUpdatesDialog::lawsToUpdate() const {
    QList<egov_online::LawToDownload> laws;
    for (const egov_online::LawChange& c : changes_) laws.push_back({c.law.lawId, c.current.revisionId});
    return laws;
}

}  // namespace tavrel::gui
