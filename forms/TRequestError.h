// TRequestError: a validation failure of the report request. Besides the user's message it names the input
// that the form puts the focus on before the message is shown (None: the focus stays where it is).
#pragma once

#include "GeneralError.h"

enum class TRequestInput { None, FecInic, FecFina, CodCuen };

class TRequestError : public GeneralError {
public:
    TRequestError(const QString& message, TRequestInput input) : GeneralError(message), m_input(input) {}
    TRequestInput input() const noexcept { return m_input; }

private:
    TRequestInput m_input;
};
