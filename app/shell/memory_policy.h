// How the program keeps freed memory: pictures free and allocate tile memory by the
// hundreds of megabytes, and glibc would hand every freed heap top back to the system,
// so the next open faulted the same pages in again.
#pragma once

namespace quorvel {

// Raises glibc's trim threshold so freed heap memory stays with the process; called once,
// first thing in main().
void KeepFreedMemory();

}  // namespace quorvel
