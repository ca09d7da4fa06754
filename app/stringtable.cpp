#include "stringtable.h"

#include <QByteArray>

#include <algorithm>
#include <iterator>

namespace quirex::app
{

namespace
{

struct Entry {
    int id;
    const char16_t *english;
    const char16_t *russian;
};

// Sorted by id. Texts are kept exactly as the program shows them.
const Entry kTable[] = {
    {129, u"Quirex Desk", u"Quirex Desk"},
    {135, u"URL \"%s\" is converted to PDF\nand saved as \"%s\"\n\nDo you want to open it?",
     u"Документ \"%s\" был сконвертирован в PDF\nи сохранен как \"%s\"\n\nХотите открыть его?"},
    {136, u"URL \"%s\" can't be converted to PDF\n\nError code = %d",
     u"Документ \"%s\" не может быть сконвертирован в PDF\n\nКод ошибки = %d"},
    {139, u"Insert page numbers in the result PDF document",
     u"Вставить номера страниц в результирующий PDF документ"},
    {140, u"Insert page numbers", u"Вставить номера страниц"},
    {153, u"Output path is not correct.", u"Выходной путь не корректен."},
    {156, u"Post entire images", u"Публиковать изображения целиком"},
    {157, u"Post entire tables", u"Публиковать таблицы целиком"},
    {2001, u"Error", u"Ошибка"},
    {2002, u"Warning", u"Внимание"},
    {2003, u"Failed to save string in registry.", u"Ошибка сохранения в реестр."},
    {2005, u"Page %d", u"Страница %d"},
    {2010, u"Converting file:\n", u"Конвертируется файл:\n"},
    {2016, u"Can't load HTML-file in COM object.", u"Ошибка загрузки HTML-файла в COM объект."},
    {2022, u"Limit exceeded. You can't add any more file.",
     u"Достигнут предел. Вы не можете добавить больше файлов."},
    {2023, u"Select file(s) to convert", u"Выберите файл(ы) для конвертирования"},
    {2025, u"File Name", u"Имя файла"},
    {2026, u"Select folder where converted files will be saved to",
     u"Выберите директорию для сохранения сконвертированных файлов"},
    {2028, u"Folder %s does not exists. Can't save file(s).",
     u"Директория \"%s\" не найдена. Не возможно сохранить файл(ы)."},
    {2029, u"Can't find component \"%s\".\n\nConversion is aborted.",
     u"Компонент \"%s\" не найден.\n\nКонвертирование прервано."},
    {2030, u"Can't create an instance of \"%s\" component.\n\nConversion is aborted.",
     u"Не возможно создать экземпляр компонента \"%s\".\n\nКонвертирование прервано."},
    {2034, u"Can't open file \"%s\".\nFile is missing or blocked.",
     u"Не возможно открыть файл \"%s\".\nФайл отсутствует либо заблокирован."},
    {2035, u"Can't create process \"%s\".", u"Не возможно создать процесс \"%s\"."},
    {2041, u"Error occured while converting file \"%s\".\nError code = %d.",
     u"Во время конвертирования файла \"%s\" произошла ошибка.\nКод ошибки = %d."},
    {2046, u"Error occured while finishing conversion.",
     u"Произошла ошибка во время окончания конвертирования."},
    {2047,
     u"Error occured in Quirex Addon.\n\nIt is possible that document you trying to convert is too "
     u"big.",
     u"Произошла ошибка в Quirex Addon.\n\nВозможно документ, который Вы пытаетесь "
     u"сконвертировать, слишком большой."},
    {2048,
     u"Error occured in Leafcraft.\n\nIt is possible that document you trying to convert is too "
     u"big.",
     u"Произошла ошибка в Leafcraft.\n\nВозможно документ, который Вы пытаетесь сконвертировать, "
     u"слишком большой."},
    {3001, u"Add files to be converted", u"Добавить файлы для конвертирования"},
    {3002, u"Add files to be converted from folder", u"Добавить файлы из папки"},
    {3003, u"Remove selected file from list", u"Удалить файл из списка"},
    {3004, u"Move selected file up", u"Переставить файл на позицию выше"},
    {3005, u"Move selected file down", u"Переставить файл на позицию ниже"},
    {3006, u"Setup output document properties", u"Настроить свойства выходного документа"},
    {3007, u"Start convertion", u"Начать конвертирование"},
    {3008, u"Select folder to save created files",
     u"Выберите папку для сохранения сконвертированных файлов"},
    {3009, u"Save changes and close dialog", u"Сохранить изменения и закрыть диалог"},
    {3010, u"Discard changes and close dialog", u"Отклонить изменения и закрыть диалог"},
    {3011, u"Let links in documents to be links in PDF",
     u"Сделать ссылки в документах ссылками в PDF"},
    {3021, u"Output documents.\n(Double click or press enter to open a document)",
     u"Сконвертированные документы.\n(Дважды щелкните или нажмите Enter на документе, чтобы "
     u"открыть его)"},
    {3022, u"Can not find help file \"%s\".\nTry to reinstall application.",
     u"Файл помощи \"%s\" не найден.\nПопробуйте переустановить приложение."},
    {3023, u"Check this button to make single PDF document from all files selected",
     u"Сконвертировать все выбранные файлы в оди PDF документ"},
    {3027, u"Input documents.\n(Double click empty space to add a document)",
     u"Входные документы.\n(Дважды щелкните на пустом месте, чтобы добавить документ)"},
    {3029, u"Quirex", u"Quirex"},
    {3031, u"Exclude pages that are not included in CHM menu",
     u"Не включать в PDF страницы, которых нет в меню CHM"},
    {7038, u"Portrait", u"Книжная"},
    {7039, u"Landscape", u"Альбомная"},
    {7074, u"Page info", u"Страницы"},
    {7085, u"Size:", u"Размер:"},
    {7086, u"Orientation:", u"Ориентация:"},
    {7089, u"Press F1 to read more about these settings",
     u"Нажмите F1 для большей информации о настройках"},
    {7093, u"Preserve links", u"Сохранить ссылки"},
    {7103, u"Exclude orphan pages", u"Исключить скрытые страницы"},
    {7107, u"OK", u"OK"},
    {7108, u"Cancel", u"Отмена"},
    {7109, u"Overall progress:", u"Ход конвертирования:"},
    {7112, u"PDF Settings", u"Настройки PDF"},
    {7113, u"Converting...", u"Конвертирую..."},
    {7114, u"Add File", u"Добавить файл"},
    {7115, u"Add Folder", u"Добавить папку"},
    {7116, u"Remove", u"Удалить"},
    {7117, u"Move Up", u"Вверх"},
    {7118, u"Move Down", u"Вниз"},
    {7119, u"PDF Settings...", u"Настройки PDF..."},
    {7120, u"Convert...", u"Конвертировать..."},
    {7121, u"Browse...", u"Выбрать..."},
    {7123, u"Files to convert:", u"Файлы для конвертирования:"},
    {7124, u"Folder to save converted files:", u"Папка для сохранения сконвертированных файлов:"},
    {7125, u"Converted files:", u"Сконвертированные файлы:"},
    {7126, u"All to one", u"Все в один файл"},
    {7127, u"Include subfolders", u"Включая подкаталоги"},
    {7129, u"Press F1 for help", u"Нажмите F1 для вызова справки"},
    {7130, u"Margins:", u"Отступы:"},
    {7131, u"Left:", u"Слева:"},
    {7132, u"Right:", u"Справа:"},
    {7133, u"Top:", u"Сверху:"},
    {7134, u"Bottom:", u"Снизу:"},
    {7135, u"Misc", u"Другое"},
    {7142, u"Encoding:", u"Кодировка:"},
    {7143, u"Base URL:", u"Базовый URL:"},
    {7144, u"Content zoom factor %:", u"Масштаб содержимого %:"},
    {7150, u"Print screen styles", u"Печатать экранные стили"},
};

const char16_t *find(int id, int language)
{
    const auto entry = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                        [](const Entry &e, int wanted) { return e.id < wanted; });
    if (entry == std::end(kTable) || entry->id != id)
        return nullptr;
    if (language == LanguageEnglish)
        return entry->english;
    if (language == LanguageRussian)
        return entry->russian;
    return nullptr;
}

} // namespace

QString loadText(int id, int language)
{
    const char16_t *text = find(id, language);
    return text ? QString::fromUtf16(text) : QString();
}

std::string loadString(int id, int language)
{
    return loadText(id, language).toStdString();
}

} // namespace quirex::app
