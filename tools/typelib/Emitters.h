// Text written from the type library's model: TypeScript declarations, the member list that the
// reference pages are checked against, and the generated signature reference.
#pragma once

#include <string>

#include "TypeModel.h"

// progIdPrefix: "Zembrolatix" gives the ProgIDs "Zembrolatix.<Class>" and "Zembrolatix.<Class>.1",
// and names the namespace of the declarations.
std::string TypeScriptDeclarations(const TypeModel::Library& lib, const std::string& progIdPrefix);
// One line per script-visible member of each class, inherited ones included: "<Class> <member>".
std::string MemberList(const TypeModel::Library& lib);
// Markdown: per class its ProgIDs, CLSID, interfaces and every member's signature.
std::string SignatureReference(const TypeModel::Library& lib, const std::string& progIdPrefix);
