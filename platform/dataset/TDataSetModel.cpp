// implemented by the data-access layer
