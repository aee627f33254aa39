#include "platform/dialogs/TPermissionEditor.h"

#include "platform/dialogs/PropertyTexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include <sys/stat.h>

namespace {

constexpr unsigned kBits[9] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP, S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
const char* const kWho[3] = {"Besitzer", "Gruppe", "Andere"};
const char* const kWhoName[3] = {"owner", "group", "others"};
const char* const kWhat[3] = {"Lesen", "Schreiben", "Ausführen"};
const char* const kWhatName[3] = {"read", "write", "execute"};

}  // namespace

TPermissionEditor::TPermissionEditor(unsigned mode, QWidget* parent)
    : QWidget(parent)
    , mode_(mode)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int what = 0; what < 3; ++what)
        grid->addWidget(new QLabel(QString::fromUtf8(kWhat[what]), this), 0, what + 1);
    for (int who = 0; who < 3; ++who) {
        grid->addWidget(new QLabel(QString::fromUtf8(kWho[who]) + ":", this), who + 1, 0);
        for (int what = 0; what < 3; ++what) {
            const int index = who * 3 + what;
            auto* box = new QCheckBox(this);
            box->setObjectName(QStringLiteral("permission_%1_%2").arg(kWhoName[who], kWhatName[what]));
            box->setAccessibleName(QString::fromUtf8(kWho[who]) + ": " + QString::fromUtf8(kWhat[what]));
            box->setChecked(mode & kBits[index]);
            connect(box, &QCheckBox::toggled, this, [this] { UpdateText(); });
            grid->addWidget(box, who + 1, what + 1, Qt::AlignCenter);
            boxes_[static_cast<std::size_t>(index)] = box;
        }
    }
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("permissionsValue"));
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(text_, 4, 0, 1, 4);
    UpdateText();
}

unsigned TPermissionEditor::Mode() const
{
    unsigned mode = mode_ & ~0777u;
    for (std::size_t index = 0; index < boxes_.size(); ++index) {
        if (boxes_[index]->isChecked())
            mode |= kBits[index];
    }
    return mode;
}

void TPermissionEditor::UpdateText()
{
    text_->setText(FormatPermissionText(Mode()));
}
