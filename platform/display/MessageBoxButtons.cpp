#include "platform/display/MessageBoxButtons.h"

#include "platform/win/MessageBox.h"

namespace tavrin::display {

MessageBoxButtons GetMessageBoxButtons(UINT type)
{
    MessageBoxButtons b;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: b.answers = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: b.answers = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: b.answers = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: b.answers = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: b.answers = {IDRETRY, IDCANCEL}; break;
    case MB_CANCELTRYCONTINUE: b.answers = {IDCANCEL, IDTRYAGAIN, IDCONTINUE}; break;
    default: b.answers = {IDOK}; break;
    }
    b.defaultAnswer = win::DefaultMessageBoxButton(type);
    // Closing never picks the committing answer: Cancel where there is one,
    // else the answer that stops (No, Abort), else the only one (OK).
    b.closeAnswer = b.answers.front();
    for (int answer : {IDNO, IDABORT, IDCANCEL})
        for (int a : b.answers)
            if (a == answer)
                b.closeAnswer = a;
    return b;
}

} // namespace tavrin::display
