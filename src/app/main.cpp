#include "app/Application.h"

int main(int argc, char** argv) {
  int status = 0;
  {
    tessel::Application application;
    status = application.Run(argc, argv);
  }
  return status;
}
