// The host interface table handed to modules (hostInterface.h), implemented
// over the host's scene model.
//
// Choices the table makes where the C interface leaves them open:
// - Functions given a NULL handle do nothing and answer none, 0 or false.
// - Object operations given a tag do nothing and answer zero vectors or the
//   identity matrix.
// - GetLink resolves only nodes that belong to the given document; with a NULL
//   document a link reads as none.
// - LoadIcon takes an absolute path, or a path relative to the folder of the
//   last successful LoadModuleResources.
// - NumberToText answers the full length of the text, also when the buffer
//   was too small and the text was cut (the buffer always ends with a NUL when
//   its capacity is above 0).
// - TextToNumber supports base 10 only; unit and angle type are ignored.
// - AnglesToMatrix and MatrixToAngles support rotation order 6 only.
// - SetObjectPosition sets the relative position so that the object's
//   position in its parent's frame (frozen x relative) becomes the given one.
// - SetObjectSwitch ignores display codes other than 1 and 2.
// - AppendChild of a node into its own subtree, of a tag, or below a tag does
//   nothing; AppendChild of a node that sits in a tree moves it.
#ifndef CAELO_HOST_INTERFACE_TABLE_H
#define CAELO_HOST_INTERFACE_TABLE_H

#include "host/container.h"
#include "host/evaluation.h"
#include "host/handles.h"
#include "host/resources.h"
#include "host/scene.h"
#include "interface/hostInterface.h"

namespace caelo::host {

// The table of this host (version HOST_INTERFACE_VERSION).
[[nodiscard]] const HostInterface& hostInterfaceTable();

// A date-time value made by CreateDateValue.
struct DateValue {
    HostDateTime fields{};
};

} // namespace caelo::host

#endif
