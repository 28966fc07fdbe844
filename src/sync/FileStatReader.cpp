#include "FileStatReader.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#endif

TFileStatReader::~TFileStatReader()
{
    CloseFolder();
}

void TFileStatReader::CloseFolder()
{
#ifdef Q_OS_LINUX
    if (m_folderHandle >= 0)
        ::close(m_folderHandle);
#endif
    m_folderHandle = -1;
    m_folder.clear();
}

#ifdef Q_OS_LINUX
bool TFileStatReader::Read(const QByteArray& path, TFileStamp& stamp)
{
    const qsizetype slash = path.lastIndexOf('/');
    const int folder = slash > 0 ? FolderHandle(QByteArrayView(path.constData(), slash + 1)) : -1;
    struct stat status {};
    const int result = folder >= 0 ? ::fstatat(folder, path.constData() + slash + 1, &status, 0)
                                   : ::stat(path.constData(), &status);
    if (result != 0 || !S_ISREG(status.st_mode))
        return false;
    stamp.Size = qint64(status.st_size);
    stamp.Modified = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    return true;
}

// The handle of `folder`, opened when another folder's was open; -1 when the
// folder cannot be opened (its files are then looked up by their whole path).
int TFileStatReader::FolderHandle(QByteArrayView folder)
{
    if (folder != m_folder) {
        CloseFolder();
        m_folder = folder.toByteArray();
        m_folderHandle = ::open(m_folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return m_folderHandle;
}
#else
bool TFileStatReader::Read(const QByteArray& path, TFileStamp& stamp)
{
    const QFileInfo info(QFile::decodeName(path));
    if (!info.isFile())
        return false;
    stamp.Size = info.size();
    stamp.Modified = info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
    return true;
}
#endif
