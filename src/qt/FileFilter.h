// File-dialog filter lists: the Windows form ("Desc (*.zkc)|*.zkc|All Files (*.*)|*.*||") in Qt's form.
#pragma once
#include <QString>
#include <string>

// "Desc (*.zkc)|*.zkc|All Files (*.*)|*.*||" becomes "Desc (*.zkc);;All Files (*)". The pattern
// half of each pair decides what is shown; "*.*" means every file, as it does on Windows.
QString ConvertFileFilter(const std::string& windowsFilter);
