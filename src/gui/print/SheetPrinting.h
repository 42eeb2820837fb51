// Printing a SheetBook: the preview (the component's print dialog), from which the user prints to
// a printer or to a PDF file, and the painting of every page onto either. A PDF file is written
// whole or not at all.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace pellumar {

class PageSource;
class Prompter;
class SheetBook;

enum class PrintResult { Cancelled, Printed, Failed };

// Shows the preview and prints as the user chooses there. A print that fails says so in a
// message captioned `caption`.
PrintResult printWithDialog(const SheetBook& book, Prompter& prompter, QWidget* parent,
                            const QString& caption);

// The same for pages laid out on a paper of their own (label sheets): the printer is set to that
// paper whatever its default, and the pages keep it.
PrintResult printWithDialog(const PageSource& pages, Prompter& prompter, QWidget* parent,
                            const QString& caption);

// Paints the pages onto the printer (those of the range chosen in its print dialog, or all), or
// onto the PDF file the printer names when its output format is PDF. False with the reason on
// failure.
bool printPages(const PageSource& pages, QPrinter& printer, QString* error);

}  // namespace pellumar
