#oops
count = count + 1
