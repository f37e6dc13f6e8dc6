"""The exceptions of glassform: bad input raises, it never gives None or NaN."""


class UnknownSymbol(ValueError):
    """A text that is no element symbol of the table; `suggestions` are the near ones."""

    def __init__(self, message, text="", suggestions=()):
        super().__init__(message)
        self.text = text
        self.suggestions = tuple(suggestions)

    def __reduce__(self):
        return (type(self), (str(self), self.text, self.suggestions))


class FormulaError(ValueError):
    """A formula that cannot be read; `position` is the 1-based place of the fault."""

    def __init__(self, message, formula="", position=0):
        super().__init__(message)
        self.formula = formula
        self.position = position

    def __reduce__(self):
        return (type(self), (str(self), self.formula, self.position))
