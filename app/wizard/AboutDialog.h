#pragma once
// The about box (template 9305): the application icon, "Version ..." with
// the version text, the legal notice and, outside release builds, the build
// note; "About ..." with the product name as its caption.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>

#include "GLO_NonCopyable.h"

namespace Ui {
class AboutDialog;
}

namespace win {
class VersionInfo_t;
}

namespace vm {

class SimpleAboutDialog_t : public QDialog, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  // With the icon of the resource module, or with the icon control hidden;
  // the texts come from the version information (the running program's
  // unless another is given, which must outlive the dialog).
  SimpleAboutDialog_t(std::optional<std::uint32_t> iconId, QWidget* parent,
                      const win::VersionInfo_t* version = nullptr);
  ~SimpleAboutDialog_t() override;

 private:
  void OnInitDialog(const win::VersionInfo_t& version);

  std::unique_ptr<Ui::AboutDialog> ui_;
  std::optional<std::uint32_t> iconId_;
};

// The wizard's about box, with icon 100.
class AboutDialog_t : public SimpleAboutDialog_t {
  Q_OBJECT

 public:
  explicit AboutDialog_t(QWidget* parent, const win::VersionInfo_t* version = nullptr);
};

}  // namespace vm
