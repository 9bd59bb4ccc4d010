#include "platform/ui.h"

namespace rw {

std::string errorMessageText(long number, const std::string& source, const std::string& description) {
    return "Error: " + std::to_string(number) + "\r\nSource: " + source + "\r\n\r\nDescription: " + description;
}

void ShowError(Ui& ui, long vlNumber, const std::string& vsSource, const std::string& vsDescription,
               const ErrorSubject& subject) {
    ui.showError(errorMessageText(vlNumber, vsSource, vsDescription), subject);
}

}  // namespace rw
