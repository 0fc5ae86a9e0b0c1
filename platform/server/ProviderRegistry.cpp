// implemented by the application server
