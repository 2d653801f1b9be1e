#pragma once
// Icons of the resource module: resources of type "ICON", each an icon file
// holding the picture at several sizes.

#include <QIcon>
#include <cstdint>

namespace gdi {

// Every size the icon file holds. A missing resource raises RenderFailed_t
// (ENODATA), one that holds no picture RenderFailed_t (EILSEQ).
QIcon GDI_LoadIcon(std::uint32_t id);

}  // namespace gdi
