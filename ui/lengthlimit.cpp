#include "ui/lengthlimit.h"

#include <QLineEdit>
#include <QValidator>

namespace {

class CharacterLimit : public QValidator {
public:
    CharacterLimit(int characters, QObject *parent) : QValidator(parent), limit_(characters) {}
    State validate(QString &input, int &) const override
    {
        return input.toUcs4().size() <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

}  // namespace

void limitCharacters(QLineEdit *edit, int characters)
{
    edit->setValidator(new CharacterLimit(characters, edit));
}
