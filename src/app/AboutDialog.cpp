#include "app/AboutDialog.h"

#include "app/AppIcon.h"
#include "base/Version.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace veltrap {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quorvex"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QPixmap::fromImage(AppIcon::Render(48)));
    auto* version =
        new QLabel(QStringLiteral("Veltrap Version ") +
                       QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())),
                   this);
    version->setObjectName(QStringLiteral("aboutVersion"));

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(version, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AboutDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

}  // namespace veltrap
