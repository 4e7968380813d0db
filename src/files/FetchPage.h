#pragma once

#include "core/DialogFields.h"

namespace velmor {

// The dialog "取网址源码": fetches the address of 编辑框1 into the document.
const DialogDefinition& FetchPageDefinition();

// The address as fetched: "http://" is put in front unless the field starts with the four
// bytes "http" exactly.
Text FetchAddress(const Text& field);
// Whether the address names a scheme the fetch serves (http or https, lower case).
bool IsFetchableAddress(const Text& address);

}  // namespace velmor
