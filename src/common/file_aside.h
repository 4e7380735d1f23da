#pragma once

#include <QString>

namespace cuemora {

// A data file that exists but cannot be read is never written over: it is moved aside under a new
// name beside it ("表格设置.无法读取1", then 2, ...) so that nothing of it is lost, and the program
// goes on with a new file. Returns the new path, or the empty text when it could not be moved.
QString setFileAside(const QString& path);

// The message that tells the operator once where the unreadable file went.
QString setAsideMessage(const QString& fileName, const QString& reason, const QString& asidePath);

} // namespace cuemora
