#pragma once
// The texts of the dialog templates and of Qt's own buttons, from the
// selected resource module, so that a language module translates the whole
// window and not only the string table's messages.
//
// A template names the string id of each of its texts as the text's comment
// (<string comment="20100">GPS:</string>); the buttons that Qt labels itself
// (the wizard's Back, Next, Finish and Cancel, the message boxes' standard
// buttons) are known by their source texts. Any other text, and a text whose
// id the module lacks, keeps the text Qt was given.

#include <QTranslator>

namespace afx {

class ResourceTranslator_t : public QTranslator {
 public:
  QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                    int n = -1) const override;
  bool isEmpty() const override { return false; }
};

}  // namespace afx
