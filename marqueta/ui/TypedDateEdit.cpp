#include "marqueta/ui/TypedDateEdit.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool AllDigits(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), IsDigit);
}

}  // namespace

std::optional<QDate> TypedDate(const QString& keys) {
    QStringList parts = keys.split(u'/');
    if (parts.size() == 1 && keys.size() == 8) parts = {keys.left(2), keys.mid(2, 2), keys.right(4)};
    if (parts.size() != 3 || parts[0].size() > 2 || parts[1].size() > 2 || parts[2].size() != 4) return std::nullopt;
    if (!AllDigits(parts[0]) || !AllDigits(parts[1]) || !AllDigits(parts[2])) return std::nullopt;
    return QDate(parts[2].toInt(), parts[0].toInt(), parts[1].toInt());
}

TypedDateEdit::TypedDateEdit(QWidget* parent) : QDateEdit(parent) {}

void TypedDateEdit::keyPressEvent(QKeyEvent* event) {
    const QString key = event->text();
    const bool digit = key.size() == 1 && IsDigit(key[0]);
    const bool slash = key == QStringLiteral("/");
    if (!digit && !slash) {
        typed_.clear();
        filledPart_ = false;
        QDateEdit::keyPressEvent(event);
        return;
    }
    if (typed_.isEmpty()) beforeTyping_ = date();
    typed_ += key;
    if (slash && filledPart_) {  // the part was left already
        filledPart_ = false;
        event->accept();
        return;
    }
    if (digit) selectPartToReplace();
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    filledPart_ = digit && currentSection() != before;
    // The whole date typed: taken as a whole, so no part is judged against the old ones. A date
    // the field cannot hold leaves the one it had, and says so.
    const std::optional<QDate> whole = TypedDate(typed_);
    if (!whole) return;
    if (whole->isValid() && *whole >= minimumDate() && *whole <= maximumDate()) {
        setDate(*whole);
        return;
    }
    setDate(beforeTyping_);
    const QString refused = typed_;
    typed_.clear();
    filledPart_ = false;
    emit dateRefused(refused);
}

void TypedDateEdit::focusInEvent(QFocusEvent* event) {
    typed_.clear();
    filledPart_ = false;
    QDateEdit::focusInEvent(event);
}

void TypedDateEdit::mousePressEvent(QMouseEvent* event) {
    typed_.clear();
    filledPart_ = false;
    QDateEdit::mousePressEvent(event);
}

void TypedDateEdit::selectPartToReplace() {
    const QString part = sectionText(currentSection());
    if (lineEdit()->hasSelectedText()) {
        // The whole text selected: what is typed starts a new date from its first part.
        if (lineEdit()->selectedText().size() > part.size()) {
            setCurrentSectionIndex(0);
            setSelectedSection(currentSection());
        }
        return;
    }
    if (part.size() >= (currentSection() == YearSection ? 4 : 2)) setSelectedSection(currentSection());
}
