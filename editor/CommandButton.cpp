#include "editor/CommandButton.h"

CommandButton::CommandButton() = default;

CommandButton::~CommandButton() = default;
