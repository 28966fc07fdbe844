// The command-line tests share the FTP test server of the ftp tests.
#include "../ftp/PyFtpServer.cpp"
