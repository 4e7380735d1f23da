#include "common/data_directory.h"

namespace cuemora {

DataDirectory::DataDirectory(const QString& directory)
    : m_prefix(directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/')) {}

} // namespace cuemora
